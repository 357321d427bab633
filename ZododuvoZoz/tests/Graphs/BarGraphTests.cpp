#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "Graphs/GraphTestSupport.hpp"
#include "ZododuvoZoz/Graphs/BarGraph.hpp"

using namespace ZododuvoZoz;
using Kind = Drawn::Kind;

namespace {
std::shared_ptr<BarGraph> graph(std::vector<std::int32_t> data = {}) {
    auto view = BarGraph::make({0, 0, 300, 200});
    view->setData(data);
    return view;
}

std::shared_ptr<NSFont> fontOf(const NSAttributes& attributes) {
    return std::get<std::shared_ptr<NSFont>>(attributes.at(NSAttributedStringKey::font()));
}
}  // namespace

using BarGraphTest = StandaloneGraphTest;

TEST_F(BarGraphTest, ScaleEndsAtTheHundredAboveTheLargestValue) {
    struct Case {
        std::vector<std::int32_t> data;
        std::vector<std::string> scale;
    };
    const Case cases[] = {
        {{}, {"0", "25", "50", "75", "100"}},
        {{0, -20}, {"0", "25", "50", "75", "100"}},
        {{-500, 40}, {"0", "25", "50", "75", "100"}},
        {{99}, {"0", "25", "50", "75", "100"}},
        {{100}, {"0", "50", "100", "150", "200"}},
        {{250, 3}, {"0", "75", "150", "225", "300"}},
        {{2147483599}, {"0", "536870900", "1073741800", "1610612700", "2147483600"}},
        // The hundred above would not fit 32 bits: the scale stops at the largest 32-bit number.
        {{2147483647}, {"0", "536870911", "1073741823", "1610612733", "2147483647"}},
    };
    for (const auto& c : cases) {
        auto canvas = recordPass(*graph(c.data));
        auto texts = canvas.texts();
        EXPECT_EQ(texts, c.scale) << "largest " << (c.data.empty() ? 0 : c.data.front());
    }
}

TEST_F(BarGraphTest, ScaleTextsStandInTheLeftInsetAtTheGridLines) {
    auto canvas = recordPass(*graph());
    auto texts = canvas.of(Kind::text);
    ASSERT_EQ(texts.size(), 5u);
    // Plot height 200 - 16 - 16 = 168; each rectangle moved up by one point.
    const CGRect expected[] = {{4, 11, 56, 12}, {4, 54, 56, 10}, {4, 96, 56, 10}, {4, 138, 56, 10}, {4, 180, 56, 10}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i].rect, expected[i]) << texts[i].text;
        auto font = fontOf(texts[i].attributes);
        EXPECT_EQ(font->pointSize(), 8.25);
        EXPECT_EQ(font->weight(), NSFont::Weight::bold());
    }
    // No data: the grid and the scale, no bars.
    EXPECT_EQ(canvas.of(Kind::stroke).size(), 1u);
    EXPECT_TRUE(canvas.of(Kind::fill).empty());
}

TEST_F(BarGraphTest, GridLinesAreOffsetByHalfTheLineWidth) {
    auto view = graph();
    view->setTopOffset(20);
    view->setBottomOffset(10);
    view->setLineWidth(2);
    auto grid = recordPass(*view).of(Kind::stroke);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0].lineWidth, 0.5);
    EXPECT_EQ(grid[0].color, NSColor::separatorColor());
    // Plot height 170: the quarter and three-quarter lines go down by one, the half line up by one.
    expectPoints(grid[0].points(), {{48, 19.75}, {300, 20},
                                    {48, 61}, {300, 61},
                                    {48, 106}, {300, 106},
                                    {48, 146}, {300, 146},
                                    {48, 189}, {300, 189},
                                    {49, 190}, {49, 20},
                                    {299, 190}, {299, 20}});
}

TEST_F(BarGraphTest, BarsSpreadOverThePlotAndReachBelowTheBaselineWhenNegative) {
    auto canvas = recordPass(*graph({50, -50, 100}));
    auto strokes = canvas.of(Kind::stroke), fills = canvas.of(Kind::fill);
    ASSERT_EQ(strokes.size(), 4u);  // the grid, then one per bar
    ASSERT_EQ(fills.size(), 3u);
    // Three bars: gap 22.5, width 68; the scale ends at 200, so 50 is a quarter of 168 points.
    expectPoints(strokes[1].points(), {{48.5, 16}, {48.5, 57.5}, {116.5, 57.5}, {116.5, 16}});
    expectPoints(strokes[2].points(), {{138.5, 16}, {138.5, -26.5}, {206.5, -26.5}, {206.5, 16}});
    expectPoints(strokes[3].points(), {{229.5, 16}, {229.5, 99.5}, {297.5, 99.5}, {297.5, 16}});
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fills[i].path, strokes[i + 1].path);
        EXPECT_EQ(strokes[i + 1].lineWidth, 1.0);
        expectColor(strokes[i + 1].rgba(), 1, 0, 0, 1);
        expectColor(fills[i].rgba(), 1, 0, 0, 0.5);
    }
    // Each bar is stroked, then filled.
    EXPECT_EQ(canvas.items.back().kind, Kind::fill);
}

TEST_F(BarGraphTest, OneBarTakesTheWholePlotWidthAndFollowsColourAndWidth) {
    auto view = graph({50});
    view->setColor(NSColor::make(0, 0, 1));
    view->setAlpha(0.25);
    view->setLineWidth(2);
    auto canvas = recordPass(*view);
    auto bar = canvas.of(Kind::stroke).at(1);
    // Gap 23.5 is unused; width 300 - 48 - 3 = 249 from x = 49.
    expectPoints(bar.points(), {{48, 16}, {48, 99}, {297, 99}, {297, 16}});
    EXPECT_EQ(bar.lineWidth, 2);
    expectColor(bar.rgba(), 0, 0, 1, 1);
    expectColor(canvas.of(Kind::fill).at(0).rgba(), 0, 0, 1, 0.25);
}

TEST_F(BarGraphTest, LabelsAreCentredUnderTheirBarsOnlyWhenThereIsOnePerBar) {
    auto view = graph({10, 20, 30});
    view->setLabels({"a", "bb", "ccc"});
    auto labels = recordPass(*view).of(Kind::text);
    ASSERT_EQ(labels.size(), 8u);
    const CGFloat lefts[] = {48.5, 138.5, 229.5};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& label = labels[5 + i];
        CGFloat width = NSAttributedString(label.text, label.attributes).size().width;
        EXPECT_NEAR(label.rect.origin.x, lefts[i] + 34 - width / 2, 1e-9);
        EXPECT_EQ(label.rect.origin.y, 3);
        EXPECT_EQ(label.rect.width(), 68);  // narrower text: the bar's width
        EXPECT_EQ(label.rect.height(), 12);
    }

    view->setLabels({"a", "bb"});
    EXPECT_EQ(recordPass(*view).texts().size(), 5u);

    // Ten bars 7.8 points wide: a wider text gets a rectangle 16 wide where the centred text starts.
    view->setData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    view->setLabels({"September", "", "", "", "", "", "", "", "", ""});
    auto wide = recordPass(*view).of(Kind::text).at(5);
    CGFloat width = NSAttributedString(wide.text, wide.attributes).size().width;
    ASSERT_GT(width, 7.8);
    EXPECT_EQ(wide.rect.width(), 16);
    EXPECT_NEAR(wide.rect.origin.x, 48.5 + 3.9 - width / 2, 1e-9);
}

TEST_F(BarGraphTest, OnlyDrawingPropertiesMarkTheViewForDisplay) {
    auto view = graph();
    auto marks = [&](auto change) {
        view->setNeedsDisplay(false);
        change();
        return view->needsDisplay();
    };
    EXPECT_TRUE(marks([&] { view->setData({1}); }));
    EXPECT_TRUE(marks([&] { view->setColor(NSColor::blueColor()); }));
    EXPECT_TRUE(marks([&] { view->setAlpha(1); }));
    EXPECT_TRUE(marks([&] { view->setLineWidth(3); }));
    EXPECT_FALSE(marks([&] { view->setLabels({"x"}); }));
    EXPECT_FALSE(marks([&] { view->setLeftOffset(10); }));
    EXPECT_FALSE(marks([&] { view->setTopOffset(10); }));
    EXPECT_FALSE(marks([&] { view->setBottomOffset(10); }));
}

TEST_F(BarGraphTest, RenderedBarIsFilledUpToItsValue) {
    auto view = graph({100});
    view->setColor(NSColor::make(0, 0, 1));
    view->setAlpha(1);
    auto image = ViewRenderer::image(*view);
    ASSERT_EQ(image->width(), 300u);
    EXPECT_EQ(pixelAt(*image, 150, 60), (Pixel{0, 0, 255, 255}));  // inside: scale 200, top at 99.5
    EXPECT_EQ(pixelAt(*image, 150, 20), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(*image, 150, 120)[3], 0);                   // above the bar
    EXPECT_EQ(pixelAt(*image, 20, 120)[3], 0);                    // the inset between two scale texts
    int inked = 0;
    for (int x = 4; x < 40; ++x) {
        for (int y = 181; y < 191; ++y) inked += pixelAt(*image, x, y)[3] > 0;
    }
    EXPECT_GT(inked, 5);  // the scale's top text "200"
}
