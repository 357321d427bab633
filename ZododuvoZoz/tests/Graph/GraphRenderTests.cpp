// Graph views rendered into pixels: what a person would see, read from the top-left corner.
#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "GraphTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Graph/BarPlotter.hpp"
#include "ZododuvoZoz/Graph/GraphView.hpp"
#include "ZododuvoZoz/Graph/StraightLinePlotter.hpp"
#include "ZododuvoZoz/Graph/TextAxis.hpp"

using namespace ZododuvoZoz;

namespace {
using Pixel = std::array<std::uint8_t, 4>;

/// A graph view without grid and labels, so that only its plotters draw.
std::shared_ptr<GraphView> bareGraph(CGFloat width, CGFloat height) {
    auto graph = GraphView::make({0, 0, width, height});
    GridOptions grid;
    grid.drawTopLine = grid.drawBottomLine = false;
    grid.horizontalSegments = grid.verticalSegments = 0;
    graph->setGridOptions(grid);
    graph->setLabelsEnabled(false);
    return graph;
}

bool isInk(const Pixel& p) { return p[3] > 0; }

/// Whether any pixel of the rectangle (in points, from the top-left corner) is drawn.
bool anyInk(const CGImage& image, const CGRect& rect) {
    for (auto y = std::size_t(rect.minY()); y < std::size_t(rect.maxY()); ++y) {
        for (auto x = std::size_t(rect.minX()); x < std::size_t(rect.maxX()); ++x) {
            if (isInk(image.pixel(x, y))) return true;
        }
    }
    return false;
}
}  // namespace

using GraphRender = GraphTest;

TEST_F(GraphRender, HigherValuesAreDrawnNearerTheTop) {
    auto graph = bareGraph(200, 100);
    auto line = StraightLinePlotter::make({NSColor::make(1, 0, 0)});
    line->setFillArea(false);
    line->setLineWidth(4);
    graph->addPlotter(line);
    line->setData({75, 75, 75});
    runUntilIdle();
    auto image = ViewRenderer::image(*graph, 1.0);
    // y = (100 − 4) × 0.25 + 2 = 26 from the top: the line covers rows 24 to 27.
    Pixel on = image->pixel(100, 25);
    EXPECT_EQ(on, (Pixel{255, 0, 0, 255}));
    EXPECT_FALSE(isInk(image->pixel(100, 20)));
    EXPECT_FALSE(isInk(image->pixel(100, 75)));  // nothing where 25 would be

    // The default area under the line: teal at the top of the view fading to faint cyan.
    line->setFillArea(true);
    line->setColors({Colors::teal(), Colors::cyan()});
    graph->refresh();
    image = ViewRenderer::image(*graph, 1.0);
    EXPECT_GT(image->pixel(100, 40)[3], image->pixel(100, 95)[3]);
    EXPECT_FALSE(isInk(image->pixel(100, 10)));
}

TEST_F(GraphRender, BarsRiseFromTheBottomOfThePlotAboveTheAxis) {
    auto graph = bareGraph(200, 124);
    graph->setAxisX(TextAxis::make());  // a band of 24 points with no texts
    auto bars = BarPlotter::make(NSColor::make(0, 0, 1));
    graph->addPlotter(bars);
    bars->setData({50, 100});
    runUntilIdle();
    auto image = ViewRenderer::image(*graph, 1.0);
    Pixel half = image->pixel(50, 75);  // inside the half-height bar
    EXPECT_EQ(half[3], 191);            // fill at alpha 0.75
    EXPECT_EQ(half[2], 191);
    EXPECT_FALSE(isInk(image->pixel(50, 25)));
    EXPECT_TRUE(isInk(image->pixel(150, 25)));  // the full bar reaches the top
    EXPECT_FALSE(isInk(image->pixel(50, 110)));  // the axis band stays clear
    EXPECT_FALSE(isInk(image->pixel(5, 75)));    // between the slots' edges and the bars
}

TEST_F(GraphRender, GridLabelsAndTickMarksFollowTheAppearance) {
    auto graph = GraphView::make({0, 0, 400, 200});
    auto ticks = graph->tickOptions();
    ticks.showTickMarks = true;
    ticks.numberOfTicks = 5;
    ticks.fillColors = {NSColor::make(0, 1, 0)};
    graph->setTickOptions(ticks);
    graph->drawTicks();
    auto image = ViewRenderer::image(*graph, 1.0);

    EXPECT_TRUE(anyInk(*image, {268, 4, 128, 13}));  // "100 " at the top right
    EXPECT_TRUE(anyInk(*image, {0, 0, 400, 2}));     // the top line
    Pixel dot = image->pixel(200, 196);              // a large dot on the line 4 points up
    EXPECT_EQ(dot, (Pixel{0, 255, 0, 255}));
    EXPECT_FALSE(isInk(image->pixel(210, 190)));

    // Dark labels are white.
    graph->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    image = ViewRenderer::image(*graph, 1.0);
    Pixel brightest{};
    for (std::size_t y = 4; y < 17; ++y) {
        for (std::size_t x = 268; x < 396; ++x) {
            Pixel p = image->pixel(x, y);
            if (p[3] > brightest[3]) brightest = p;
        }
    }
    EXPECT_EQ(brightest, (Pixel{255, 255, 255, 255}));
}
