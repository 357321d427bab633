#include <gtest/gtest.h>

#include "AppKit/NSMutableParagraphStyle.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "Graphs/GraphTestSupport.hpp"
#include "ZododuvoZoz/Graphs/SeparatedBarGraph.hpp"

using namespace ZododuvoZoz;
using Kind = Drawn::Kind;

namespace {
std::shared_ptr<SeparatedBarGraph> graph() {
    auto view = SeparatedBarGraph::make({0, 0, 200, 100});
    view->setNeedsDisplay(false);
    return view;
}

std::vector<Drawn> barsOf(const RecordingCanvas& canvas) {
    std::vector<Drawn> bars;
    for (const auto& stroke : canvas.of(Kind::stroke)) {
        if (stroke.lineWidth == 0.5 && stroke.color != NSColor::separatorColor()) bars.push_back(stroke);
    }
    return bars;
}

const std::vector<std::string> fiveTexts{"2 KB", "1 KB", "0", "2 KB", "1 KB"};
}  // namespace

using SeparatedBarGraphTest = StandaloneGraphTest;

TEST_F(SeparatedBarGraphTest, UpperBarsRiseFromTheMiddleAndSkipZeros) {
    auto view = graph();
    view->setDataTop({1024, 0, 2048, 4096, -512});
    auto canvas = recordPass(*view);
    auto bars = barsOf(canvas);
    ASSERT_EQ(bars.size(), 4u);  // the 0 leaves a gap without an outline
    ASSERT_EQ(canvas.of(Kind::fill).size(), 4u);
    // Five bars 38.4 wide, 2 apart, over the whole width; the middle line is at 50.
    expectPoints(bars[0].points(), {{0, 75}, {38.4, 75}, {38.4, 50}, {0, 50}, {0, 75}});
    expectPoints(bars[1].points(), {{80.8, 100}, {119.2, 100}, {119.2, 50}, {80.8, 50}, {80.8, 100}});  // the maximum
    EXPECT_DOUBLE_EQ(bars[2].points()[0].y, 150);  // beyond the view
    expectPoints(bars[3].points(), {{161.6, 37.5}, {200, 37.5}, {200, 50}, {161.6, 50}, {161.6, 37.5}});
    expectColor(bars[0].rgba(), 0, 1, 0, 1);
    expectColor(canvas.of(Kind::fill)[0].rgba(), 0, 1, 0, 0.5);

    // The middle line comes last, across the whole width.
    const auto& baseline = canvas.items.back();
    EXPECT_EQ(baseline.kind, Kind::stroke);
    EXPECT_EQ(baseline.lineWidth, 1.0);
    EXPECT_EQ(baseline.color, NSColor::separatorColor());
    expectPoints(baseline.points(), {{0, 49.5}, {200, 49.5}});
    EXPECT_TRUE(canvas.texts().empty());
}

TEST_F(SeparatedBarGraphTest, LowerBarsHangFromTheMiddleOverTheirOwnSpread) {
    auto view = graph();
    view->setDataTop({1, 1, 1});
    view->setDataBottom({512});
    view->setMaxBottom(1024);
    auto bars = barsOf(recordPass(*view));
    ASSERT_EQ(bars.size(), 4u);
    expectPoints(bars[3].points(), {{0, 49.75}, {200, 49.75}, {200, 25}, {0, 25}, {0, 49.75}});
    expectColor(bars[3].rgba(), 1, 0, 0, 1);
}

TEST_F(SeparatedBarGraphTest, HoverMakesRoomForTheGridAndLegend) {
    auto view = graph();
    view->setDataTop({1024, 1024});
    view->setLegendLabelsY(fiveTexts);
    view->setNeedsDisplay(false);
    view->mouseEntered(mouseAt(100, 50, NSEvent::EventType::mouseEntered));
    EXPECT_TRUE(view->mouseEntered());
    EXPECT_TRUE(view->needsDisplay());

    auto canvas = recordPass(*view);
    // The grid's one path is stroked after each of its four lines is added.
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(canvas.items[i].kind, Kind::stroke);
        EXPECT_EQ(canvas.items[i].points().size(), 2 * (i + 1));
    }
    expectPoints(canvas.items[3].points(), {{64, 74.75}, {200, 74.75}, {64, 99.75}, {200, 99.75},
                                            {64, 24.75}, {200, 24.75}, {64, 0.25}, {200, 0.25}});
    // Bars narrowed to (200 - 2 - 64) / 2 = 67 from x = 64; the middle line starts there too.
    auto bars = barsOf(canvas);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_DOUBLE_EQ(bars[0].points()[0].x, 64);
    EXPECT_DOUBLE_EQ(bars[1].points()[0].x, 133);
    EXPECT_DOUBLE_EQ(bars[1].points()[1].x, 200);

    auto texts = canvas.of(Kind::text);
    ASSERT_EQ(texts.size(), 5u);
    const CGFloat ys[] = {91, 71, 46, 1, 21};  // top, upper quarter, middle, bottom, lower quarter
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i].text, fiveTexts[i]);
        EXPECT_EQ(texts[i].rect, (CGRect{3, ys[i], 61, 10}));
    }
    auto style = std::get<std::shared_ptr<const NSParagraphStyle>>(texts[0].attributes.at(NSAttributedStringKey::paragraphStyle()));
    EXPECT_EQ(style->alignment(), NSTextAlignment::center);
    EXPECT_EQ(canvas.items.back().kind, Kind::text);  // the legend is drawn last

    view->setLegendLabelsY({"a", "b", "c", "d"});
    auto fourTexts = recordPass(*view);
    EXPECT_TRUE(fourTexts.texts().empty());
    EXPECT_EQ(fourTexts.items[3].points().size(), 8u);  // the grid still is

    view->mouseExited(mouseAt(300, 50, NSEvent::EventType::mouseExited));
    EXPECT_FALSE(view->mouseEntered());
    auto outside = recordPass(*view);
    EXPECT_DOUBLE_EQ(barsOf(outside)[0].points()[0].x, 0);
    EXPECT_EQ(outside.of(Kind::stroke).size(), 3u);  // two bars and the middle line
}

TEST_F(SeparatedBarGraphTest, NothingButTheMiddleLineWithoutValuesOrMaximum) {
    auto view = graph();
    auto empty = recordPass(*view);
    ASSERT_EQ(empty.items.size(), 1u);
    expectPoints(empty.items[0].points(), {{0, 49.5}, {200, 49.5}});

    // A maximum of 0 leaves its series out; the other one is drawn.
    view->setMaxTop(0);
    view->setDataTop({5, -3, 0});
    view->setDataBottom({1024});
    auto bars = barsOf(recordPass(*view));
    ASSERT_EQ(bars.size(), 1u);
    expectColor(bars[0].rgba(), 1, 0, 0, 1);
}

TEST_F(SeparatedBarGraphTest, TrackingAreaFollowsTheSize) {
    auto view = graph();
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    auto area = view->trackingAreas()[0];
    EXPECT_EQ(area->options().rawValue, 0x81u);
    EXPECT_EQ(area->rect(), (CGRect{0, 0, 200, 100}));
    EXPECT_EQ(area->owner(), view);

    view->setFrameOrigin({10, 10});
    EXPECT_EQ(view->trackingAreas()[0], area);  // moving keeps it
    view->setFrameSize({300, 120});
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    EXPECT_EQ(view->trackingAreas()[0]->rect(), (CGRect{0, 0, 300, 120}));

    // Made with its initialiser and put in a window, it hears the pointer come in.
    auto made = std::make_shared<SeparatedBarGraph>(CGRect{0, 0, 200, 100});
    auto window = NSWindow::make({0, 0, 300, 200}, NSWindow::StyleMask::borderless());
    window->contentView()->addSubview(made);
    HeadlessWindowBackend::moveMouse(*window, {100, 50});
    EXPECT_TRUE(made->mouseEntered());
    window->close();
}
