#include <gtest/gtest.h>

#include <cmath>

#include "GraphTestSupport.hpp"
#include "ZododuvoZoz/Graph/CurvedLinePlotter.hpp"
#include "ZododuvoZoz/Graph/GraphView.hpp"
#include "ZododuvoZoz/Graph/PositiveNegativePlotter.hpp"
#include "ZododuvoZoz/Graph/StraightLinePlotter.hpp"

using namespace ZododuvoZoz;

namespace {
const auto red = NSColor::make(1, 0, 0);
const auto blue = NSColor::make(0, 0, 1);
const CGFloat notANumber = std::nan("");

std::shared_ptr<StraightLinePlotter> straight(const DataSeries& data, bool fill = false) {
    auto plotter = StraightLinePlotter::make(red, fill);
    plotter->setLineWidth(2);
    plotter->setData(data);
    return plotter;
}

const CGPath& strokePath(const GradientLayer& layer) { return *layer.maskingLayer()->path(); }
}  // namespace

using StraightLines = GraphTest;

TEST_F(StraightLines, SamplesRunFromTheLeftEdgeToPastTheRightEdge) {
    auto layer = host(100, 100);
    auto plotter = straight({0, 50, 100}, true);
    plotter->draw(layer, 0, 100, 0);

    const std::vector<CGPoint> expected{{0, 99}, {49, 50}, {102, 1}};
    EXPECT_EQ(plotter->calculatedPoints(), expected);
    auto stroke = plotter->strokeLayer();
    EXPECT_EQ(pointsOf(strokePath(*stroke)), expected);
    EXPECT_EQ(stroke->strokeColor(), red);
    EXPECT_FALSE(stroke->fillColor());

    // The area follows the same line down to the bottom of the plot, above the line.
    auto fill = plotter->fillLayer();
    EXPECT_EQ(pointsOf(strokePath(*fill)),
              (std::vector<CGPoint>{{0, 99}, {49, 50}, {102, 1}, {102, 100}, {-2, 100}}));
    EXPECT_EQ(fill->fillColor()->cgColor(), CGColor::black());
    EXPECT_EQ(layer->sublayers(),
              (std::vector<std::shared_ptr<CALayer>>{stroke->gradientLayer(), fill->gradientLayer()}));

    // A bottom offset shortens the plot; a pass replaces what the last one drew.
    plotter->draw(layer, 0, 100, 20);
    EXPECT_EQ(plotter->calculatedPoints(), (std::vector<CGPoint>{{0, 79}, {49, 40}, {102, 1}}));
    EXPECT_EQ(layer->sublayers().size(), 2u);
}

TEST_F(StraightLines, NothingIsDrawnWithoutTwoSamplesOrAUsableRange) {
    auto layer = host(100, 100);
    auto plotter = straight({10, 20});
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(layer->sublayers().size(), 1u);

    for (auto [min, max] : {std::pair{0.0, 0.0}, {0.0, -5.0}, {60.0, 50.0}}) {
        plotter->draw(layer, min, max, 0);
        EXPECT_TRUE(layer->sublayers().empty()) << min << " " << max;
        EXPECT_TRUE(plotter->calculatedPoints().empty());
    }
    plotter->setData({10});
    plotter->draw(layer, 0, 100, 0);
    EXPECT_TRUE(layer->sublayers().empty());

    // A range of no height puts every sample on the bottom instead of dividing by zero.
    plotter->setData({50, 50, 70});
    plotter->draw(layer, 50, 50, 0);
    EXPECT_EQ(plotter->calculatedPoints(), (std::vector<CGPoint>{{0, 99}, {49, 99}, {102, 99}}));
}

TEST_F(StraightLines, AbsentSamplesFollowTheNilMode) {
    auto layer = host(100, 100);
    auto plotter = straight({10, std::nullopt, 30, 40});
    plotter->draw(layer, 0, 100, 0);  // drawMinValue: on the bottom, and on
    auto points = plotter->calculatedPoints();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1], (CGPoint{33, 99}));

    plotter->setDrawNilMode(DrawNilMode::stop);
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(plotter->calculatedPoints().size(), 1u);
    EXPECT_TRUE(plotter->markerLayers().empty());

    plotter->setDrawNilMode(DrawNilMode::stopAndHighlightPreviousValue);
    plotter->setData({10, 20, std::nullopt, 40});
    plotter->draw(layer, 0, 100, 0);
    ASSERT_EQ(plotter->calculatedPoints().size(), 2u);
    const CGPoint previous = plotter->calculatedPoints()[1];
    ASSERT_EQ(plotter->markerLayers().size(), 2u);
    auto outer = plotter->markerLayers()[0], inner = plotter->markerLayers()[1];
    EXPECT_TRUE(sameRect(outer->path()->boundingBox(), {previous.x - 5, previous.y - 5, 10, 10}));
    EXPECT_TRUE(sameRect(inner->path()->boundingBox(), {previous.x - 3, previous.y - 3, 6, 6}));
    EXPECT_EQ(outer->fillColor(), red->cgColor().copy(0.25));
    EXPECT_EQ(inner->fillColor(), red->cgColor());
    EXPECT_FALSE(outer->strokeColor());

    // A missing first sample ends the line at once unless it is drawn as the minimum.
    plotter->setData({std::nullopt, 20, 30});
    plotter->draw(layer, 0, 100, 0);
    EXPECT_TRUE(layer->sublayers().empty());
    plotter->setDrawNilMode(DrawNilMode::drawMinValue);
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(plotter->calculatedPoints().front(), (CGPoint{0, 99}));
}

TEST_F(StraightLines, LongSeriesAreThinnedToTheWidth) {
    DataSeries data;
    for (int i = 0; i < 1000; ++i) data.push_back(i);
    auto plotter = straight(data);
    plotter->setTruncateData(true);
    auto layer = host(500, 100);
    plotter->draw(layer, 0, 1000, 0);
    const auto& points = plotter->calculatedPoints();
    ASSERT_EQ(points.size(), 100u);  // one sample per 5 points: indexes 0, 10, ... 990
    EXPECT_NEAR(points[1].y, 98 - 0.01 * 98 + 1, 1e-9);
    EXPECT_NEAR(points[99].y, 98 - 0.99 * 98 + 1, 1e-9);
    EXPECT_EQ(plotter->data().size(), 1000u);

    // Each pass thins the series again from the whole of it.
    plotter->draw(host(250, 100), 0, 1000, 0);
    EXPECT_EQ(plotter->calculatedPoints().size(), 50u);
    // A layer narrower than one step keeps no sample, and draws nothing.
    auto narrow = host(4, 100);
    plotter->draw(narrow, 0, 1000, 0);
    EXPECT_TRUE(plotter->calculatedPoints().empty());
    EXPECT_TRUE(narrow->sublayers().empty());
}

TEST_F(StraightLines, JoinMarkersSitOnInnerPointsAboveTheMinimumInTheLinesColour) {
    auto layer = host(200, 100);
    auto plotter = straight({0, 50, 0, 70, 80}, true);
    plotter->setColors({red, red});
    plotter->setLineWidth(4);
    plotter->setLineJoinMarker(LineJoinMarker::circle);
    plotter->draw(layer, 0, 100, 0);

    const auto& points = plotter->calculatedPoints();
    const auto& markers = plotter->markerLayers();
    ASSERT_EQ(markers.size(), 2u);  // at samples 1 and 3: not at the ends, not at the minimum
    EXPECT_TRUE(sameRect(markers[0]->path()->boundingBox(), {points[1].x - 3, points[1].y - 3, 6, 6}));
    EXPECT_TRUE(sameRect(markers[1]->path()->boundingBox(), {points[3].x - 3, points[3].y - 3, 6, 6}));
    auto colour = *markers[0]->fillColor();
    EXPECT_NEAR(colour.red, 1, 0.02);
    EXPECT_NEAR(colour.blue, 0, 0.02);
    EXPECT_NEAR(colour.alpha, 1, 0.02);
    EXPECT_FALSE(markers[0]->strokeColor());
    // Line, markers, then the translucent area over them.
    ASSERT_EQ(layer->sublayers().size(), 4u);
    EXPECT_EQ(layer->sublayers()[0], plotter->strokeLayer()->gradientLayer());
    EXPECT_EQ(layer->sublayers()[1], markers[0]);
    EXPECT_EQ(layer->sublayers()[3], plotter->fillLayer()->gradientLayer());
}

TEST_F(StraightLines, ExplicitPointsAreDrawnInsteadOfTheSeries) {
    auto layer = host(200, 100);
    auto plotter = straight({1, 2, 3}, true);
    plotter->setPoints({{0, 0}, {50, 50}, {notANumber, notANumber}});
    plotter->draw(layer, 50, 100, 10);  // the minimum plays no part
    const std::vector<CGPoint> mapped{{0, 88}, {100, 44}, {198, 88}};
    EXPECT_EQ(plotter->calculatedPoints(), mapped);
    auto stroke = plotter->strokeLayer();
    EXPECT_EQ(pointsOf(strokePath(*stroke)),
              (std::vector<CGPoint>{{0, 88}, {100, 44}, {198, 88}, {202, 90}, {-2, 90}}));
    EXPECT_EQ(stroke->fillColor()->cgColor(), CGColor::black());  // the area shows the line's gradient
    EXPECT_EQ(layer->sublayers().size(), 1u);                     // no separate area

    plotter->setFillArea(false);
    plotter->setMaxX(0);  // no scale: every point at the right end rather than at infinity
    plotter->draw(layer, 50, 100, 10);
    EXPECT_FALSE(plotter->strokeLayer()->fillColor());
    for (auto p : plotter->calculatedPoints()) EXPECT_EQ(p.x, 198);
}

TEST_F(StraightLines, OnlyPointsAndTheNilModeAskForARedrawAndClearForgetsEverything) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto plotter = straight({1, 2});
    plotter->setDelegate(delegate);
    plotter->setColors({blue});
    plotter->setLineWidth(3);
    EXPECT_TRUE(delegate->redraws.empty());
    plotter->setPoints({{1, 1}});
    plotter->setDrawNilMode(DrawNilMode::stop);
    EXPECT_EQ(delegate->redraws.size(), 2u);
    EXPECT_EQ(delegate->redraws[0], plotter);
    plotter->setData({4, 5});
    ASSERT_EQ(delegate->changes.size(), 1u);
    EXPECT_EQ(delegate->changes[0], (DataSeries{4, 5}));

    auto layer = host(100, 100);
    plotter->setPoints({});
    plotter->draw(layer, 0, 10, 0);
    EXPECT_FALSE(layer->sublayers().empty());
    plotter->clear();
    EXPECT_TRUE(layer->sublayers().empty());
    EXPECT_FALSE(plotter->delegate());
    EXPECT_TRUE(plotter->data().empty());
    EXPECT_TRUE(plotter->points().empty());
    plotter->setData({1, 2});
    EXPECT_EQ(delegate->changes.size(), 1u);
}

using CurvedLines = GraphTest;

TEST_F(CurvedLines, EachStepIsTwoCubicsThatLeaveAndReachTheSamplesFlat) {
    auto layer = host(100, 100);
    auto plotter = CurvedLinePlotter::make({red}, false);
    plotter->setLineWidth(2);
    plotter->setData({0, 100});
    plotter->draw(layer, 0, 100, 0);
    const auto& path = strokePath(*plotter->strokeLayer());
    ASSERT_EQ(path.elements().size(), 3u);
    EXPECT_EQ(path.elements()[0].points[0], (CGPoint{0, 99}));
    auto first = path.elements()[1], second = path.elements()[2];
    EXPECT_TRUE(same(first.points[2], {51, 50}));  // through the midpoint
    EXPECT_TRUE(same(first.points[0], {17, 99}));  // two thirds towards (25.5, 99): flat at the start
    EXPECT_TRUE(same(second.points[2], {102, 1}));
    EXPECT_TRUE(same(second.points[1], {85, 1}));  // flat at the end
    EXPECT_EQ(plotter->calculatedPoints(), (std::vector<CGPoint>{{0, 99}, {102, 1}}));

    // Equal samples give a straight level curve.
    plotter->setData({40, 40});
    plotter->draw(layer, 0, 100, 0);
    for (const auto& e : strokePath(*plotter->strokeLayer()).elements()) {
        for (std::size_t k = 0; k < e.pointCount(); ++k) EXPECT_NEAR(e.points[k].y, 59.8, 1e-9);
    }
}

TEST_F(CurvedLines, NoControlPointRisesAboveTheTopAndOddSamplesSitLow) {
    auto layer = host(100, 100);
    auto plotter = CurvedLinePlotter::make({red}, false);
    plotter->setLineWidth(2);
    plotter->setData({50, 150});  // the second sample lies above the maximum
    plotter->draw(layer, 0, 100, 0);
    const auto& path = strokePath(*plotter->strokeLayer());
    EXPECT_TRUE(same(path.elements()[2].points[2], {102, -48}));
    const CGFloat midY = (50 + -48) / 2.0;
    EXPECT_NEAR(path.elements()[2].points[0].y, midY + 2.0 / 3.0 * (0 - midY), 1e-9);  // control raised to 0

    plotter->setData({std::nullopt, notANumber, 50});
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(plotter->calculatedPoints(), (std::vector<CGPoint>{{0, 99}, {48, 97}, {102, 50}}));
}

TEST_F(CurvedLines, MarkersAtBothEndsOfEveryStepButTheLast) {
    auto layer = host(100, 100);
    auto plotter = CurvedLinePlotter::make({red}, true);
    plotter->setLineWidth(2);
    plotter->setLineJoinMarker(LineJoinMarker::circle);
    plotter->setData({20, 50, 80});
    plotter->draw(layer, 0, 100, 0);
    const auto& points = plotter->calculatedPoints();
    ASSERT_EQ(plotter->markerLayers().size(), 2u);
    EXPECT_TRUE(same(plotter->markerLayers()[0]->path()->elements()[0].points[0], points[0]));
    EXPECT_TRUE(same(plotter->markerLayers()[1]->path()->elements()[0].points[0], points[1]));
    EXPECT_EQ(layer->sublayers().back(), plotter->fillLayer()->gradientLayer());
}

TEST_F(CurvedLines, OnePointIsAFlatCurveAcrossTheWholeWidth) {
    auto layer = host(100, 100);
    auto plotter = CurvedLinePlotter::make({red}, true);
    plotter->setLineWidth(2);
    plotter->setPoints({{50, 50}});
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(plotter->calculatedPoints(), (std::vector<CGPoint>{{50, 49}}));
    const auto points = pointsOf(strokePath(*plotter->strokeLayer()));
    EXPECT_EQ(points.front(), (CGPoint{0, 49}));
    EXPECT_EQ(points.back(), (CGPoint{102, 49}));
    for (const auto& e : strokePath(*plotter->strokeLayer()).elements()) {
        for (std::size_t k = 0; k < e.pointCount(); ++k) EXPECT_EQ(e.points[k].y, 49);
    }
    EXPECT_EQ(pointsOf(strokePath(*plotter->fillLayer())).back(), (CGPoint{-2, 100}));
}

using PositiveNegativeLines = GraphTest;

TEST_F(PositiveNegativeLines, TheLastSampleChoosesTheColourOfTheWholeLine) {
    auto layer = host(100, 100);
    auto plotter = PositiveNegativePlotter::make(NSColor::greenColor(), red);
    plotter->setInitial(50);
    auto colourFor = [&](const DataSeries& data) {
        plotter->setData(data);
        plotter->draw(layer, 0, 100, 0);
        return plotter->strokeLayer()->colors();
    };
    using Colors2 = std::vector<std::shared_ptr<NSColor>>;
    EXPECT_EQ(colourFor({10, 80}), (Colors2{NSColor::greenColor(), NSColor::greenColor()}));
    EXPECT_EQ(colourFor({80, 10}), (Colors2{red, red}));
    for (const auto& data : {DataSeries{10, 50}, DataSeries{10, std::nullopt}, DataSeries{}}) {
        auto colours = colourFor(data);
        EXPECT_EQ(colours[0]->cgColor(), CGColor::black());
    }

    // Thinning may drop the last sample; the colour still follows the whole series.
    DataSeries rising(999, 10.0);
    rising.push_back(90.0);
    plotter->setTruncateData(true);
    EXPECT_EQ(colourFor(rising)[0], NSColor::greenColor());
    EXPECT_EQ(plotter->calculatedPoints().size(), 20u);
}

TEST_F(PositiveNegativeLines, DashedBaselineAtTheInitialValueEvenWithoutALine) {
    auto layer = host(100, 100);
    auto plotter = PositiveNegativePlotter::make(NSColor::greenColor(), red);
    plotter->setInitial(50);
    plotter->setLineWidth(4);
    plotter->setData({70});
    plotter->draw(layer, 0, 100, 0);
    auto baseline = plotter->initialLayer();
    EXPECT_EQ(pointsOf(strokePath(*baseline)), (std::vector<CGPoint>{{0, 49}, {100, 49}}));
    EXPECT_EQ(baseline->lineDashPattern(), (std::vector<CGFloat>{3, 3}));
    EXPECT_EQ(layer->sublayers(), (std::vector<std::shared_ptr<CALayer>>{baseline->gradientLayer()}));

    // A gap in the middle is drawn on the bottom unless the mode stops the line.
    plotter->setDrawNilMode(DrawNilMode::stopAndHighlightPreviousValue);
    plotter->setData({10, std::nullopt, 30});
    plotter->draw(layer, 0, 100, 0);
    ASSERT_EQ(plotter->calculatedPoints().size(), 3u);
    EXPECT_EQ(plotter->calculatedPoints()[1].y, 98);
    plotter->setDrawNilMode(DrawNilMode::stop);
    plotter->draw(layer, 0, 100, 0);
    EXPECT_EQ(plotter->calculatedPoints().size(), 1u);

    plotter->clear();
    EXPECT_TRUE(layer->sublayers().empty());
}

using LinePasses = GraphTest;

TEST_F(LinePasses, WithoutALayerOnlyTheCurveTakesItsLastDrawingAway) {
    auto layer = host(100, 100);
    auto straightLine = straight({10, 20}, true);
    auto curved = CurvedLinePlotter::make({red}, true);
    curved->setData({10, 20});
    auto positiveNegative = PositiveNegativePlotter::make(NSColor::greenColor(), red);
    positiveNegative->setData({10, 20});
    for (const std::shared_ptr<IDataPlotter>& plotter :
         std::vector<std::shared_ptr<IDataPlotter>>{straightLine, curved, positiveNegative}) {
        plotter->draw(layer, 0, 100, 0);
        plotter->draw(nullptr, 0, 100, 0);
    }
    EXPECT_EQ(straightLine->strokeLayer()->gradientLayer()->superlayer(), layer);
    EXPECT_EQ(straightLine->fillLayer()->gradientLayer()->superlayer(), layer);
    EXPECT_EQ(straightLine->calculatedPoints().size(), 2u);
    EXPECT_EQ(positiveNegative->strokeLayer()->gradientLayer()->superlayer(), layer);
    EXPECT_EQ(positiveNegative->initialLayer()->gradientLayer()->superlayer(), layer);
    EXPECT_EQ(positiveNegative->calculatedPoints().size(), 2u);
    EXPECT_FALSE(curved->strokeLayer()->gradientLayer()->superlayer());
    EXPECT_FALSE(curved->fillLayer()->gradientLayer()->superlayer());
    EXPECT_TRUE(curved->calculatedPoints().empty());
    EXPECT_EQ(layer->sublayers().size(), 4u);
}
