#include <gtest/gtest.h>

#include "GraphTestSupport.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/Graph/BarPlotter.hpp"
#include "ZododuvoZoz/Graph/CapsulePlotter.hpp"
#include "ZododuvoZoz/Graph/ColorizedSegmentPlotter.hpp"
#include "ZododuvoZoz/Graph/GradientBarPlotter.hpp"
#include "ZododuvoZoz/Graph/MultiColorBarPlotter.hpp"
#include "ZododuvoZoz/Graph/PercentageBarPlotter.hpp"

using namespace ZododuvoZoz;

namespace {
const auto red = NSColor::make(1, 0, 0);
const auto green = NSColor::make(0, 1, 0);

CGRect boxOf(const std::shared_ptr<CAShapeLayer>& layer) { return layer->path()->boundingBox(); }

bool isCapsule(const CGPath& path) { return countOf(path, CGPathElementType::addCurveToPoint) > 0; }

std::shared_ptr<const CABasicAnimation> growth(const CALayer& layer) {
    return std::dynamic_pointer_cast<const CABasicAnimation>(layer.animation("path"));
}
}  // namespace

using Bars = GraphTest;

TEST_F(Bars, EachSampleStandsOnTheBaselineInItsSlot) {
    auto layer = host(300, 110);
    auto plotter = BarPlotter::make(red);
    plotter->setLineWidth(2);
    plotter->setData({std::nullopt, 0, 50});
    plotter->draw(layer, 0, 100, 10);
    const auto& bars = plotter->barLayers();
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(boxOf(bars[0]), (CGRect{10, 99, 80, 1}));  // absent: a one-point bar
    EXPECT_FALSE(bars[1]);                              // zero: no bar
    EXPECT_EQ(boxOf(bars[2]), (CGRect{210, 50, 80, 50}));
    EXPECT_EQ(bars[2]->fillColor(), red->cgColor().copy(0.75));
    EXPECT_EQ(layer->sublayers(), (std::vector<std::shared_ptr<CALayer>>{bars[0], bars[2]}));

    plotter->setData({-5, 150});
    plotter->draw(layer, 0, 100, 10);
    EXPECT_EQ(layer->sublayers().size(), 2u);  // the last pass's bars are gone
    EXPECT_EQ(boxOf(plotter->barLayers()[0]), (CGRect{15, 99, 120, 1}));
    EXPECT_EQ(boxOf(plotter->barLayers()[1]), (CGRect{165, -50, 120, 150}));  // clipped by the view
    plotter->draw(layer, 0, 0, 10);  // a maximum of 0 divides nothing
    EXPECT_EQ(boxOf(plotter->barLayers()[1]), (CGRect{165, 99, 120, 1}));

    plotter->draw(nullptr, 0, 100, 10);
    EXPECT_TRUE(layer->sublayers().empty());
    EXPECT_EQ(plotter->barLayers(), (std::vector<std::shared_ptr<CAShapeLayer>>{nullptr, nullptr}));
}

TEST_F(Bars, CapsulesAndGradientBarsAreGradientsMaskedByTheirShapes) {
    auto layer = host(300, 110);
    auto capsules = CapsulePlotter::make({red, green});
    capsules->setData({std::nullopt, 0, 50});
    capsules->draw(layer, 0, 100, 10);
    const auto& masks = capsules->maskingLayers();
    ASSERT_EQ(masks.size(), 3u);
    EXPECT_EQ(boxOf(masks[0]), (CGRect{20, 99, 60, 1}));
    EXPECT_FALSE(isCapsule(*masks[0]->path()));  // absent: a plain one-point bar
    EXPECT_TRUE(sameRect(boxOf(masks[1]), {120, 99, 60, 1}));
    EXPECT_TRUE(isCapsule(*masks[1]->path()));  // zero: a one-point capsule
    EXPECT_TRUE(sameRect(boxOf(masks[2]), {220, 50, 60, 50}));
    auto gradient = capsules->gradientLayers()[2];
    EXPECT_EQ(gradient->mask(), masks[2]);
    EXPECT_EQ(gradient->colors(), (std::vector<CGColor>{red->cgColor(), green->cgColor()}));
    EXPECT_EQ(layer->sublayers().size(), 3u);

    auto bars = GradientBarPlotter::make({red, green});
    bars->setData({std::nullopt, 0, 50});
    bars->draw(layer, 0, 100, 10);
    ASSERT_EQ(bars->maskingLayers().size(), 3u);
    EXPECT_FALSE(bars->maskingLayers()[1]);
    EXPECT_FALSE(bars->gradientLayers()[1]);
    EXPECT_EQ(boxOf(bars->maskingLayers()[2]), (CGRect{210, 50, 80, 50}));
    EXPECT_FALSE(isCapsule(*bars->maskingLayers()[2]->path()));

    capsules->clear();
    EXPECT_EQ(layer->sublayers().size(), 2u);  // only the gradient bars are left
    bars->draw(nullptr, 0, 100, 10);
    EXPECT_TRUE(layer->sublayers().empty());
    EXPECT_TRUE(bars->maskingLayers().empty());
}

TEST_F(Bars, BarsGrowOnceFromOnePointToTheirHeight) {
    auto layer = host(300, 110);
    auto plotter = BarPlotter::make(red);
    plotter->setAnimationDuration(0.5);
    plotter->setData({20, 50});
    plotter->draw(layer, 0, 100, 10);
    EXPECT_EQ(boxOf(plotter->barLayers()[1]), (CGRect{165, 99, 120, 1}));
    plotter->animate(layer, 0, 100, 10);  // without a timing function nothing grows
    EXPECT_FALSE(growth(*plotter->barLayers()[1]));

    plotter->setTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    plotter->animate(layer, 0, 100, 10);
    auto animation = growth(*plotter->barLayers()[1]);
    ASSERT_TRUE(animation);
    EXPECT_EQ(std::get<CGPath>(animation->toValue).boundingBox(), (CGRect{165, 50, 120, 50}));
    EXPECT_EQ(animation->duration, 0.5);
    EXPECT_EQ(animation->fillMode, CAMediaTimingFillMode::forwards);
    EXPECT_FALSE(animation->isRemovedOnCompletion);
    EXPECT_EQ(boxOf(plotter->barLayers()[1]), (CGRect{165, 99, 120, 1}));  // the model keeps the small bar

    plotter->barLayers()[1]->removeAllAnimations();
    plotter->animate(layer, 0, 100, 10);  // once only
    EXPECT_FALSE(growth(*plotter->barLayers()[1]));
    plotter->draw(layer, 0, 100, 10);  // later passes draw full bars at once
    EXPECT_EQ(boxOf(plotter->barLayers()[1]), (CGRect{165, 50, 120, 50}));

    // Gradient bars grow through their masks; multi-colour bars can be made to grow again.
    auto capsules = CapsulePlotter::make({red});
    capsules->setAnimationDuration(1);
    capsules->setTimingFunction(CAMediaTimingFunctionName::linear);
    capsules->setData({50});
    capsules->draw(layer, 0, 100, 10);
    capsules->animate(layer, 0, 100, 10);
    EXPECT_TRUE(growth(*capsules->maskingLayers()[0]));
    EXPECT_TRUE(isCapsule(std::get<CGPath>(growth(*capsules->maskingLayers()[0])->toValue)));

    auto multi = MultiColorBarPlotter::make(std::vector<std::shared_ptr<NSColor>>{red});
    multi->setAnimationDuration(1);
    multi->setTimingFunction(CAMediaTimingFunctionName::linear);
    multi->setData({50});
    multi->draw(layer, 0, 100, 10);
    multi->animate(layer, 0, 100, 10);
    multi->draw(layer, 0, 100, 10);
    EXPECT_EQ(boxOf(multi->barLayers()[0]).height(), 50);
    multi->resetAnimation();
    multi->draw(layer, 0, 100, 10);
    EXPECT_EQ(boxOf(multi->barLayers()[0]).height(), 1);
}

TEST_F(Bars, MultiColourBarsTakeTheirColourFromTheListOrTheFirstRangeThatHoldsTheValue) {
    auto layer = host(400, 110);
    auto greenRange = ColorRange::make(0, 50, green), redRange = ColorRange::make(50, 100, red);
    auto ranged = MultiColorBarPlotter::make(std::vector<std::shared_ptr<ColorRange>>{greenRange, redRange});
    EXPECT_EQ(ranged->coloringMode(), ColoringMode::ranges);
    ranged->setData({50, 120, std::nullopt, 20});
    ranged->draw(layer, 0, 100, 10);
    const auto& bars = ranged->barLayers();
    EXPECT_EQ(boxOf(bars[0]), (CGRect{2, 50, 96, 50}));  // offset 4: half of it on each side
    EXPECT_EQ(bars[0]->strokeColor(), green->cgColor());  // 50 lies in both ranges: the first wins
    EXPECT_EQ(bars[1]->strokeColor(), NSColor::systemBlueColor()->cgColor());  // in none
    EXPECT_FALSE(bars[2]->strokeColor());  // absent: a shape layer's own colours
    EXPECT_EQ(bars[2]->fillColor(), CGColor::black());
    EXPECT_EQ(bars[3]->fillColor(), green->cgColor().copy(0.75));

    auto listed = MultiColorBarPlotter::make(std::vector<std::shared_ptr<NSColor>>{red, green, NSColor::blueColor()});
    listed->setData({10, 20, 30, 40});
    listed->draw(layer, 0, 100, 10);
    for (const auto& bar : listed->barLayers()) EXPECT_EQ(bar->strokeColor(), red->cgColor());
    listed->setData({10, 20, 30});
    listed->draw(layer, 0, 100, 10);
    EXPECT_EQ(listed->barLayers()[1]->strokeColor(), green->cgColor());

    EXPECT_EQ(*ColorRange::make(0, 50, red), *ColorRange::make(0, 50, green));
    EXPECT_FALSE(*ColorRange::make(0, 50, red) == *ColorRange::make(0, 51, red));
}

TEST_F(Bars, PercentageSpanCoversItsShareOfTheWidth) {
    auto layer = host(400, 100);
    auto span = PercentageBarPlotter::make(red);
    span->setLineWidth(2);
    span->setStart(0.25);
    span->setEnd(0.75);
    span->setData({1, 2, 3});  // not drawn
    span->draw(layer, 0, 1, 0);
    EXPECT_EQ(span->barLayer()->superlayer(), layer);
    EXPECT_EQ(boxOf(span->barLayer()), (CGRect{100, 1, 200, 100}));
    EXPECT_EQ(span->barLayer()->fillColor(), red->cgColor().copy(0.75));

    span->setEnd(0.2505);
    span->draw(layer, 0, 1, 0);
    EXPECT_FALSE(span->barLayer()->superlayer());
    span->setEnd(0.1);  // reversed
    span->draw(layer, 0, 1, 0);
    EXPECT_FALSE(span->barLayer()->superlayer());
}

using Segments = GraphTest;

TEST_F(Segments, TheAreaIsCutWhereTheValueChangesRange) {
    auto layer = host(300, 110);
    auto greenRange = ColorRange::make(0, 50, green), redRange = ColorRange::make(50, 100, red);
    auto plotter = ColorizedSegmentPlotter::make({greenRange, redRange}, {10, 20, 60, 70});
    plotter->draw(layer, 0, 100, 10);
    const auto& segments = plotter->segmentLayers();
    ASSERT_EQ(segments.size(), 2u);
    // Samples 0 to 2 in green, ending at the first red sample; 2 to 3 in red.
    EXPECT_EQ(pointsOf(*segments[0]->path()),
              (std::vector<CGPoint>{{0, 90}, {100, 80}, {200, 40}, {200, 100}, {0, 100}}));
    EXPECT_EQ(segments[0]->fillColor(), green->cgColor());
    EXPECT_EQ(pointsOf(*segments[1]->path()),
              (std::vector<CGPoint>{{200, 40}, {300, 30}, {300, 100}, {200, 100}}));
    EXPECT_EQ(segments[1]->fillColor(), red->cgColor());
    EXPECT_FALSE(segments[1]->strokeColor());

    // An absent sample is the minimum; a value in no range starts a segment of the next one's colour.
    plotter->setData({std::nullopt, 120, 30});
    plotter->draw(layer, 0, 100, 10);
    ASSERT_EQ(plotter->segmentLayers().size(), 3u);
    EXPECT_EQ(pointsOf(*plotter->segmentLayers()[0]->path())[0], (CGPoint{0, 100}));
    EXPECT_FALSE(plotter->segmentLayers()[0]->fillColor());  // 0 → 120: no range for 120
    EXPECT_EQ(plotter->segmentLayers()[1]->fillColor(), green->cgColor());  // 120 alone, takes 30's
    EXPECT_EQ(plotter->segmentLayers()[2]->path()->boundingBox().width(), 0);  // the last sample alone

    plotter->draw(layer, 60, 50, 10);
    EXPECT_TRUE(layer->sublayers().empty());
    plotter->setData({10, 20});
    plotter->clear();
    plotter->setData({10, 20});
    plotter->draw(layer, 0, 100, 10);
    ASSERT_EQ(plotter->segmentLayers().size(), 2u);  // no range joins two samples any more
    for (const auto& segment : plotter->segmentLayers()) EXPECT_FALSE(segment->fillColor());
}
