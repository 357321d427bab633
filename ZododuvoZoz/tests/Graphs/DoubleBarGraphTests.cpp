#include <gtest/gtest.h>

#include <limits>

#include "AppKit/ContentBackgroundColors.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "Graphs/GraphTestSupport.hpp"
#include "ZododuvoZoz/Graphs/DoubleBarGraph.hpp"

using namespace ZododuvoZoz;
using Kind = Drawn::Kind;
using Pairs = std::vector<DoubleBarGraph::Pair>;

namespace {
std::shared_ptr<DoubleBarGraph> graph(Pairs data = {}) {
    auto view = DoubleBarGraph::make({0, 0, 400, 200});
    view->setData(data);
    view->setNeedsDisplay(false);
    return view;
}

std::shared_ptr<NSImage> templateImage() {
    auto image = NSImage::make({16, 16});
    image->lockFocus();
    NSColor::blackColor()->set();
    NSRectFill({4, 4, 8, 8});
    image->unlockFocus();
    image->setTemplate(true);
    return image;
}

// Records each call of indexChanged with the index the host could read during it.
struct IndexLog {
    explicit IndexLog(DoubleBarGraph& view) {
        view.setIndexChanged([this, &view] { seen.push_back(view.index()); });
    }
    std::vector<std::optional<std::size_t>> seen;
};
}  // namespace

using DoubleBarGraphTest = StandaloneGraphTest;

TEST(DoubleBarGraphScale, MaximumIsTheLeadingDigitRaisedByOneInPowersOf1024) {
    auto view = graph();
    auto maximum = [&](Pairs data) {
        view->setData(data);
        return view->maximumValue();
    };
    EXPECT_EQ(maximum({}), 41943040u);
    EXPECT_EQ(maximum({{0, 0}, {0, 0}}), 41943040u);
    EXPECT_EQ(maximum({{1, 0}}), 2u);
    EXPECT_EQ(maximum({{0, 999}}), 1000u);
    EXPECT_EQ(maximum({{1000, 0}}), 2048u);
    EXPECT_EQ(maximum({{1500, 20}}), 2048u);
    EXPECT_EQ(maximum({{2000, 1999}}), 3072u);
    EXPECT_EQ(maximum({{7, 1234567}}), 2097152u);
    EXPECT_EQ(maximum({{45000, 0}}), 50u * 1024u);
    EXPECT_EQ(maximum({{9999999999999999999u, 0}}), std::uint64_t{10} << 60);
    // From 10^19 on the axis would need more than 64 bits; it ends at the largest number instead.
    EXPECT_EQ(maximum({{std::numeric_limits<std::uint64_t>::max(), 0}}), std::numeric_limits<std::uint64_t>::max());
}

TEST_F(DoubleBarGraphTest, PairsStandSideBySideScaledToTheMaximum) {
    auto canvas = recordPass(*graph({{1000, 2000}}));
    auto strokes = canvas.of(Kind::stroke), fills = canvas.of(Kind::fill);
    ASSERT_EQ(strokes.size(), 4u);  // frame, inner grid, left bar, right bar
    ASSERT_EQ(fills.size(), 2u);
    // One pair: gap 23.5, bar width (320 - 3) / 2 = 158.5; maximum 3072 over a plot of 168 points.
    expectPoints(strokes[2].points(), {{64.5, 16}, {64.5, 69.5}, {222.5, 69.5}, {222.5, 16}});
    expectPoints(strokes[3].points(), {{224.5, 16}, {224.5, 125}, {383.5, 125}, {383.5, 16}});
    expectColor(strokes[2].rgba(), 0, 1, 0, 1);
    expectColor(fills[0].rgba(), 0, 1, 0, 0.5);
    expectColor(strokes[3].rgba(), 1, 0, 0, 1);
    expectColor(fills[1].rgba(), 1, 0, 0, 0.5);
    EXPECT_EQ(strokes[2].lineWidth, 1);
}

TEST_F(DoubleBarGraphTest, GridIsFramedAndQuarteredWithoutData) {
    auto canvas = recordPass(*graph());
    auto strokes = canvas.of(Kind::stroke);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_TRUE(canvas.of(Kind::fill).empty());
    for (const auto& stroke : strokes) {
        EXPECT_EQ(stroke.lineWidth, 0.5);
        EXPECT_EQ(stroke.color, NSColor::tertiaryLabelColor());
    }
    expectPoints(strokes[0].points(), {{64, 15.75}, {384, 15.75},
                                       {64.25, 184}, {64.25, 16},
                                       {383.75, 184}, {383.75, 16},
                                       {64, 183.75}, {384, 183.75}});
    expectPoints(strokes[1].points(), {{64, 58.25}, {384, 58.25}, {64, 100.25}, {384, 100.25}, {64, 142.25}, {384, 142.25}});

    // Zero values: bars of no height on the baseline.
    auto zero = recordPass(*graph({{0, 0}}));
    expectPoints(zero.of(Kind::stroke).at(2).points(), {{64.5, 16}, {64.5, 15.5}, {222.5, 15.5}, {222.5, 16}});
}

TEST_F(DoubleBarGraphTest, AxisTextsNeedExactlyFiveAndPairTextsOnePerPair) {
    auto view = graph({{1, 2}, {3, 4}});
    view->setLegendLabelsY({"0", "1 KB", "2 KB", "3 KB", "4 KB"});
    view->setLegendLabelsX({"Mon", "Tue"});
    auto texts = recordPass(*view).of(Kind::text);
    ASSERT_EQ(texts.size(), 7u);
    const CGFloat ys[] = {11, 54, 96, 138, 180};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(texts[i].rect, (CGRect{4, ys[i], 56, 11})) << texts[i].text;
    // Two pairs: gap 23, bar width 73.5; the text is centred on its pair, 147 wide.
    const auto& monday = texts[5];
    CGFloat width = NSAttributedString("Mon", monday.attributes).size().width;
    EXPECT_NEAR(monday.rect.origin.x, 73.5 + 64.5 - width / 2, 1e-9);
    EXPECT_EQ(monday.rect.origin.y, 1);
    EXPECT_EQ(monday.rect.width(), 147);
    auto font = std::get<std::shared_ptr<NSFont>>(monday.attributes.at(NSAttributedStringKey::font()));
    EXPECT_EQ(font->pointSize(), 9);
    EXPECT_EQ(font->weight(), NSFont::Weight::regular());

    view->setLegendLabelsY({"0", "1", "2", "3"});
    view->setLegendLabelsX({"Mon"});
    EXPECT_TRUE(recordPass(*view).texts().empty());
    view->setLegendLabelsY({"0", "1", "2", "3", "4", "5"});
    EXPECT_TRUE(recordPass(*view).texts().empty());
}

TEST_F(DoubleBarGraphTest, PointerSelectsThePairUnderIt) {
    // Two pairs: gap 23, pair width 147, slots of 170 points from x = 64.
    auto view = graph({{10, 20}, {30, 40}});
    IndexLog log(*view);

    view->mouseMoved(mouseAt(100, 100));
    EXPECT_EQ(log.seen, (std::vector<std::optional<std::size_t>>{std::nullopt}));  // called before storing
    EXPECT_EQ(view->index(), 0u);
    EXPECT_EQ(view->deleteRect(), (CGRect{129.5, 184, 16, 16}));
    EXPECT_FALSE(view->mouseInDeletionRect());
    EXPECT_TRUE(view->needsDisplay());

    view->setNeedsDisplay(false);
    view->mouseMoved(mouseAt(200, 60));  // still pair 0
    EXPECT_EQ(log.seen.size(), 1u);
    EXPECT_FALSE(view->needsDisplay());

    view->mouseMoved(mouseAt(250, 100));
    EXPECT_EQ(log.seen.back(), 0u);
    EXPECT_EQ(view->index(), 1u);
    EXPECT_EQ(view->deleteRect(), (CGRect{299.5, 184, 16, 16}));
    EXPECT_TRUE(view->needsDisplay());

    // Into the left inset: cleared, and the host hears of it on every move there.
    view->setNeedsDisplay(false);
    view->mouseMoved(mouseAt(30, 100));
    EXPECT_EQ(view->index(), std::nullopt);
    EXPECT_EQ(view->deleteRect(), std::nullopt);
    EXPECT_TRUE(view->needsDisplay());
    view->setNeedsDisplay(false);
    view->mouseMoved(mouseAt(20, 100));
    EXPECT_EQ(log.seen.size(), 4u);
    EXPECT_EQ(log.seen.back(), std::nullopt);
    EXPECT_FALSE(view->needsDisplay());
}

TEST_F(DoubleBarGraphTest, DeleteRectangleTracksThePointerAndTakesClicks) {
    auto view = graph({{10, 20}, {30, 40}});
    int clicks = 0;
    view->setClickedInRect([&] { ++clicks; });
    view->mouseDown(mouseAt(305, 190, NSEvent::EventType::leftMouseDown));
    EXPECT_EQ(clicks, 0);  // nothing selected yet

    view->mouseMoved(mouseAt(250, 100));
    view->setNeedsDisplay(false);
    view->mouseMoved(mouseAt(305, 190));
    EXPECT_TRUE(view->mouseInDeletionRect());
    EXPECT_TRUE(view->needsDisplay());
    view->mouseDown(mouseAt(305, 190, NSEvent::EventType::leftMouseDown));
    EXPECT_EQ(clicks, 1);
    view->mouseDown(mouseAt(250, 100, NSEvent::EventType::leftMouseDown));
    EXPECT_EQ(clicks, 1);

    view->mouseMoved(mouseAt(250, 150));
    EXPECT_FALSE(view->mouseInDeletionRect());
}

TEST_F(DoubleBarGraphTest, LeavingTheViewClearsTheSelectionBeforeTellingTheHost) {
    auto view = graph({{10, 20}, {30, 40}});
    view->mouseEntered(mouseAt(100, 100, NSEvent::EventType::mouseEntered));
    EXPECT_TRUE(view->mouseEntered());
    EXPECT_FALSE(view->needsDisplay());
    view->mouseMoved(mouseAt(100, 100));
    IndexLog log(*view);
    view->setNeedsDisplay(false);

    view->mouseExited(mouseAt(0, 0, NSEvent::EventType::mouseExited));
    EXPECT_FALSE(view->mouseEntered());
    EXPECT_EQ(log.seen, (std::vector<std::optional<std::size_t>>{std::nullopt}));
    EXPECT_TRUE(view->needsDisplay());
    EXPECT_TRUE(view->deleteRect().has_value());  // kept until the next move
}

TEST_F(DoubleBarGraphTest, MovesWithoutPairsOrPastTheLastPairSelectNothing) {
    auto empty = graph();
    IndexLog quiet(*empty);
    empty->mouseMoved(mouseAt(200, 100));
    EXPECT_TRUE(quiet.seen.empty());
    EXPECT_FALSE(empty->needsDisplay());
    EXPECT_EQ(empty->index(), std::nullopt);

    // Twelve pairs: slots of 27.9 points, so whole slots of 27 end at x = 64 + 324 = 388.
    auto view = graph(Pairs(12, {1, 1}));
    IndexLog log(*view);
    view->mouseMoved(mouseAt(380, 100));
    EXPECT_EQ(view->index(), 11u);
    view->mouseMoved(mouseAt(395, 195));
    EXPECT_EQ(view->index(), std::nullopt);
    EXPECT_EQ(view->deleteRect(), std::nullopt);
    EXPECT_FALSE(view->mouseInDeletionRect());
    EXPECT_EQ(log.seen, (std::vector<std::optional<std::size_t>>{std::nullopt, std::nullopt}));  // told after clearing
    view->mouseMoved(mouseAt(396, 100));
    EXPECT_EQ(log.seen.size(), 2u);

    int clicks = 0;
    view->setClickedInRect([&] { ++clicks; });
    view->mouseDown(mouseAt(395, 195, NSEvent::EventType::leftMouseDown));
    EXPECT_EQ(clicks, 0);
}

TEST_F(DoubleBarGraphTest, SelectedPairIsHighlightedUnderItsBarsWithTheDeleteImage) {
    auto view = graph({{1000, 2000}});
    auto image = templateImage();
    view->setInteractionImage(image);
    view->mouseMoved(mouseAt(100, 100));
    auto canvas = recordPass(*view);
    ASSERT_GE(canvas.items.size(), 4u);
    // After the grid: the image, then the column, then the bars.
    const auto& drawnImage = canvas.items[2];
    ASSERT_EQ(drawnImage.kind, Kind::image);
    EXPECT_EQ(drawnImage.image, image);
    EXPECT_EQ(drawnImage.rect, (CGRect{214.5, 184, 16, 16}));
    const auto& column = canvas.items[3];
    ASSERT_EQ(column.kind, Kind::fill);
    EXPECT_EQ(column.color, alternatingContentBackgroundColors()[1]);
    expectPoints(column.points(), {{63.5, 184}, {384.5, 184}, {384.5, 16}, {63.5, 16}});
    EXPECT_EQ(column.path.elements().back().type, CGPathElementType::closeSubpath);

    // With the pointer on the image it is drawn tinted red.
    view->mouseMoved(mouseAt(220, 190));
    auto tinted = recordPass(*view).of(Kind::image);
    ASSERT_EQ(tinted.size(), 1u);
    EXPECT_NE(tinted[0].image, image);
    EXPECT_FALSE(tinted[0].image->isTemplate());

    view->setInteractionImage(nullptr);
    EXPECT_TRUE(recordPass(*view).of(Kind::image).empty());
}

TEST_F(DoubleBarGraphTest, TrackingAreaCoversTheBoundsAfterEveryLayout) {
    auto view = graph();
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    auto area = view->trackingAreas()[0];
    EXPECT_EQ(area->options().rawValue, 0x83u);
    EXPECT_EQ(area->rect(), view->bounds());
    EXPECT_EQ(area->owner(), view);

    view->setFrameSize({500, 250});
    view->layout();
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    EXPECT_NE(view->trackingAreas()[0], area);
    EXPECT_EQ(view->trackingAreas()[0]->rect(), (CGRect{0, 0, 500, 250}));

    // Made with its initialiser, it has its area at once, and it is the view's once in a tree.
    auto made = std::make_shared<DoubleBarGraph>(CGRect{0, 0, 400, 200});
    ASSERT_EQ(made->trackingAreas().size(), 1u);
    NSView::make({0, 0, 500, 300})->addSubview(made);
    ASSERT_EQ(made->trackingAreas().size(), 1u);
    EXPECT_EQ(made->trackingAreas()[0]->owner(), made);
    EXPECT_EQ(made->trackingAreas()[0]->options().rawValue, 0x83u);
}

TEST_F(DoubleBarGraphTest, AppearanceChangesMarkTheViewForDisplay) {
    auto view = graph();
    view->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_TRUE(view->needsDisplay());
    view->setNeedsDisplay(false);
    view->setIndexChanged([] {});
    EXPECT_FALSE(view->needsDisplay());
    view->setLegendLabelsY({});
    EXPECT_TRUE(view->needsDisplay());
}

TEST_F(DoubleBarGraphTest, RenderedSelectionColumnLiesBehindTheBars) {
    auto view = graph({{1000, 2000}});
    view->setColorAlpha(1);
    view->mouseMoved(mouseAt(100, 100));
    auto image = ViewRenderer::image(*view);
    EXPECT_EQ(pixelAt(*image, 150, 40), (Pixel{0, 255, 0, 255}));     // left bar, up to 69.5
    EXPECT_EQ(pixelAt(*image, 300, 100), (Pixel{255, 0, 0, 255}));    // right bar, up to 125
    EXPECT_EQ(pixelAt(*image, 150, 110), (Pixel{244, 245, 245, 255}));  // the column above the bar
    EXPECT_EQ(pixelAt(*image, 30, 100)[3], 0);                         // the left inset

    view->mouseExited(mouseAt(0, 0, NSEvent::EventType::mouseExited));
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*view), 150, 110)[3], 0);
}
