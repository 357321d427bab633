#include <gtest/gtest.h>

#include "GraphTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Graph/GraphView.hpp"
#include "ZododuvoZoz/Graph/TextAxis.hpp"

using namespace ZododuvoZoz;

namespace {
std::shared_ptr<GraphView> graphWith(const GridOptions& grid) {
    auto graph = GraphView::make({0, 0, 400, 200});
    graph->setGridOptions(grid);
    graph->refresh();
    return graph;
}

/// The centres of the dots of a tick path: each dot begins with a move to its centre.
std::vector<CGPoint> centres(const CGPath& path) {
    std::vector<CGPoint> found;
    for (const auto& e : path.elements()) {
        if (e.type == CGPathElementType::moveToPoint) found.push_back(e.points[0]);
    }
    return found;
}

std::vector<CGFloat> xs(const std::vector<CGPoint>& points) {
    std::vector<CGFloat> result;
    for (auto p : points) result.push_back(p.x);
    return result;
}
}  // namespace

using GraphGrid = GraphTest;

TEST_F(GraphGrid, DefaultGridFramesThePlotAndCutsItIntoQuarters) {
    GridOptions grid;
    EXPECT_EQ(grid.gridLineWidth, 2);  // 2 device pixels without a screen
    grid.gridLineWidth = 1;
    auto graph = graphWith(grid);
    auto gridLayer = graph->gridLayer(), bottom = graph->bottomLineLayer();
    ASSERT_EQ(gridLayer->superlayer(), graph->layer());
    ASSERT_EQ(bottom->superlayer(), graph->layer());

    EXPECT_EQ(pointsOf(*bottom->path()), (std::vector<CGPoint>{{0, 199.5}, {400, 199.5}}));
    EXPECT_EQ(pointsOf(*gridLayer->path()), (std::vector<CGPoint>{{0, 0.5}, {400, 0.5},        // top line
                                                                   {0, 49.5}, {400, 49.5},      // horizontal
                                                                   {0, 99.5}, {400, 99.5},
                                                                   {0, 149.5}, {400, 149.5},
                                                                   {100, 0}, {100, 200},        // vertical
                                                                   {200, 0}, {200, 200},
                                                                   {300, 0}, {300, 200}}));

    // With an axis the plot area ends above its band.
    auto axis = TextAxis::make();
    graph->setAxisX(axis);
    EXPECT_EQ(pointsOf(*graph->bottomLineLayer()->path()), (std::vector<CGPoint>{{0, 175.5}, {400, 175.5}}));
    EXPECT_EQ(pointsOf(*graph->gridLayer()->path())[2], (CGPoint{0, 43.5}));
    EXPECT_EQ(pointsOf(*graph->gridLayer()->path())[9], (CGPoint{100, 176}));
}

TEST_F(GraphGrid, DashesNeverReachTheBottomLineAndSwitchesTakeLinesAway) {
    GridOptions grid;
    grid.lineDashPattern = std::vector<CGFloat>{4, 2};
    grid.lineDashPhase = 1;
    auto graph = graphWith(grid);
    EXPECT_EQ(graph->gridLayer()->lineDashPattern(), (std::vector<CGFloat>{4, 2}));
    EXPECT_EQ(graph->gridLayer()->lineDashPhase(), 1);
    EXPECT_TRUE(graph->bottomLineLayer()->lineDashPattern().empty());

    grid.drawTopLine = grid.drawBottomLine = false;
    grid.horizontalSegments = grid.verticalSegments = 1;
    graph->setGridOptions(grid);
    graph->refresh();
    EXPECT_EQ(graph->gridLayer()->superlayer(), graph->layer());  // kept, with nothing to stroke
    EXPECT_TRUE(graph->gridLayer()->path()->isEmpty());
    EXPECT_FALSE(graph->bottomLineLayer()->superlayer());

    grid.horizontalSegments = grid.verticalSegments = 0;
    graph->setGridOptions(grid);
    graph->refresh();
    EXPECT_FALSE(graph->gridLayer()->superlayer());
    EXPECT_FALSE(graph->bottomLineLayer()->superlayer());
}

using GraphTicks = GraphTest;

TEST_F(GraphTicks, FiveTicksAreLargeDotsWithSmallDotsBetweenOnTopOfTheBottomBand) {
    auto graph = GraphView::make({0, 0, 400, 200});
    TickOptions ticks;
    ticks.showTickMarks = true;
    ticks.numberOfTicks = 5;
    ticks.fillColors = {Colors::teal(), Colors::cyan()};
    graph->setTickOptions(ticks);
    EXPECT_FALSE(graph->largeTickLayer());  // built only when asked
    graph->drawTicks();

    auto large = graph->largeTickLayer(), small = graph->smallTickLayer();
    ASSERT_TRUE(large && small);
    EXPECT_EQ(large->gradientLayer()->superlayer(), graph->layer());
    EXPECT_EQ(large->gradientLayer()->colors(),
              (std::vector<CGColor>{Colors::teal()->cgColor(), Colors::cyan()->cgColor()}));
    EXPECT_EQ(large->maskingLayer()->fillColor(), CGColor::black());

    auto big = centres(*large->maskingLayer()->path());
    EXPECT_EQ(xs(big), (std::vector<CGFloat>{2, 100, 200, 300, 398}));
    for (auto p : big) EXPECT_EQ(p.y, 196);
    CGRect box = large->maskingLayer()->path()->boundingBox();
    EXPECT_NEAR(box.minX(), 0, 1e-9);
    EXPECT_NEAR(box.maxX(), 400, 1e-9);
    EXPECT_NEAR(box.minY(), 194, 1e-9);
    EXPECT_NEAR(box.maxY(), 198, 1e-9);
    EXPECT_EQ(xs(centres(*small->maskingLayer()->path())), (std::vector<CGFloat>{-50, 50, 150, 250, 350}));
    EXPECT_NEAR(small->maskingLayer()->path()->boundingBox().maxY(), 197, 1e-9);

    // With an axis the dots sit on the top of its band, and a resize takes them along.
    auto axis = TextAxis::make();
    graph->setAxisX(axis);
    EXPECT_EQ(centres(*graph->largeTickLayer()->maskingLayer()->path())[0].y, 176);
    graph->setFrameSize({200, 100});
    graph->layout();
    auto moved = centres(*graph->largeTickLayer()->maskingLayer()->path());
    EXPECT_EQ(moved[0].y, 76);
    EXPECT_EQ(moved.back().x, 198);
}

TEST_F(GraphTicks, OneTickHasNoSmallDotAndHiddenOrNegativeCountsDrawNone) {
    auto graph = GraphView::make({0, 0, 400, 200});
    TickOptions ticks;
    ticks.showTickMarks = true;
    ticks.numberOfTicks = 1;
    graph->setTickOptions(ticks);
    graph->drawTicks();
    ASSERT_TRUE(graph->largeTickLayer());
    EXPECT_EQ(xs(centres(*graph->largeTickLayer()->maskingLayer()->path())), (std::vector<CGFloat>{2}));
    EXPECT_TRUE(graph->smallTickLayer()->maskingLayer()->path()->isEmpty());

    auto old = graph->largeTickLayer();
    ticks.numberOfTicks = -3;
    graph->setTickOptions(ticks);
    graph->setAxisX(TextAxis::make());  // an axis gives the band a height
    EXPECT_FALSE(old->gradientLayer()->superlayer());
    EXPECT_EQ(graph->largeTickLayer(), old);  // nothing new was made

    ticks.numberOfTicks = 4;
    ticks.showTickMarks = false;
    graph->setTickOptions(ticks);
    graph->drawTicks();
    EXPECT_FALSE(graph->largeTickLayer()->gradientLayer()->superlayer());
}
