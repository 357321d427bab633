#include <gtest/gtest.h>

#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/DoubleGauge.hpp"
#include "ZododuvoZoz/Gauge.hpp"

using namespace ZododuvoZoz;

namespace {
class CountingGauge : public Gauge {
public:
    using Gauge::Gauge;
    void drawProgress() override {
        ++redraws;
        Gauge::drawProgress();
    }
    int redraws = 0;
};

std::shared_ptr<Gauge> layerBackedGauge(CGRect frame = {0, 0, 100, 100}) {
    auto gauge = Gauge::make(frame);
    gauge->setWantsLayer(true);
    return gauge;
}

const CGPoint center{50, 50};
}  // namespace

using GaugeLayers = GaugeTest;

TEST_F(GaugeLayers, HalfFullGaugeIsATrackUnderAClockwiseArc) {
    auto gauge = layerBackedGauge();
    EXPECT_FALSE(gauge->backgroundLayer());
    gauge->setColor(Colors::teal());
    gauge->setValue(0.5);

    auto track = gauge->backgroundLayer(), progress = gauge->progressLayer();
    ASSERT_TRUE(track && progress);
    EXPECT_EQ(gauge->layer()->sublayers(), (std::vector<std::shared_ptr<CALayer>>{track, progress}));
    for (const auto& layer : {track, progress}) {
        EXPECT_EQ(layer->frame(), gauge->bounds());
        EXPECT_EQ(layer->lineWidth(), 5);
        EXPECT_EQ(layer->lineCap(), CAShapeLayerLineCap::round);
        EXPECT_FALSE(layer->fillColor());
        EXPECT_EQ(layer->contentsScale(), 1.0);  // no main screen
    }

    Arc trackArc = measureArc(*track->path(), center, 38);
    EXPECT_TRUE(near(trackArc.first, onCircle(center, 38, -45)));
    EXPECT_NEAR(trackArc.sweep, 270, 1e-3);
    EXPECT_LT(trackArc.worstRadius, 0.05);

    Arc arc = measureArc(*progress->path(), center, 38);
    EXPECT_TRUE(near(arc.first, {23.13, 23.13}, 0.01));
    EXPECT_TRUE(near(arc.last, {50, 88}));
    EXPECT_NEAR(arc.sweep, -135, 1e-3);
    EXPECT_LE(arc.pieces, 2);
    EXPECT_LT(arc.worstRadius, 0.05);

    CGColor teal{62 / 255.0, 189 / 255.0, 177 / 255.0, 1};
    EXPECT_EQ(progress->strokeColor(), teal);
    EXPECT_EQ(track->strokeColor(), teal.copy(0.1));
}

TEST_F(GaugeLayers, ArcsPastZeroDegreesAndTheEnds) {
    auto gauge = layerBackedGauge();
    gauge->setValue(0.9);
    Arc nine = measureArc(*gauge->progressLayer()->path(), center, 38);
    EXPECT_NEAR(nine.sweep, -243, 1e-3);
    EXPECT_NEAR(angleOf(nine.last, center), -18, 1e-6);  // 342 degrees
    EXPECT_LT(nine.worstRadius, 0.05);

    gauge->setValue(1);
    Arc full = measureArc(*gauge->progressLayer()->path(), center, 38);
    EXPECT_NEAR(full.sweep, -270, 1e-3);
    EXPECT_NEAR(angleOf(full.last, center), -45, 1e-6);  // the end of the track

    gauge->setValue(225.0 / 270.0);  // exactly at 0 degrees: the second arc has no length
    EXPECT_NEAR(measureArc(*gauge->progressLayer()->path(), center, 38).sweep, -225, 1e-3);

    gauge->setValue(0);
    const auto& empty = gauge->progressLayer()->path()->elements();
    ASSERT_EQ(empty.size(), 1u);  // only the start point: nothing to stroke
    EXPECT_EQ(empty[0].type, CGPathElementType::moveToPoint);
}

TEST_F(GaugeLayers, ValuesAreClampedAndOnlyChangesRedraw) {
    auto gauge = std::make_shared<CountingGauge>(CGRect{0, 0, 100, 100});
    gauge->setValue(-0.2);  // differs from the stored 0, so it is stored (clamped) and drawn
    EXPECT_EQ(gauge->value(), 0);
    EXPECT_EQ(gauge->redraws, 1);
    gauge->setValue(0.4);
    gauge->setValue(0.4);
    EXPECT_EQ(gauge->redraws, 2);
    gauge->setValue(1.7);
    gauge->setValue(1.7);  // compared unclamped with the stored 1
    EXPECT_EQ(gauge->value(), 1);
    EXPECT_EQ(gauge->redraws, 4);
    auto before = gauge->progressLayer();
    gauge->setLineWidth(5);  // setters other than value always lay out, with new layers
    EXPECT_NE(gauge->progressLayer(), before);
    EXPECT_EQ(gauge->redraws, 5);
}

TEST_F(GaugeLayers, WithoutAColourTheTrackIsInvisibleAndTheArcTeal) {
    auto gauge = layerBackedGauge();
    gauge->setValue(0.3);
    EXPECT_FALSE(gauge->backgroundLayer()->strokeColor());
    EXPECT_EQ(gauge->progressLayer()->strokeColor(), Colors::teal()->cgColor());
    gauge->setColor(NSColor::make(1, 0, 0));
    EXPECT_EQ(gauge->progressLayer()->strokeColor(), (CGColor{1, 0, 0, 1}));
    gauge->setColor(nullptr);
    EXPECT_FALSE(gauge->backgroundLayer()->strokeColor());
}

TEST_F(GaugeLayers, RadiusFollowsWidthAndLineWidthOnly) {
    auto gauge = layerBackedGauge();
    gauge->setLineWidth(10);
    EXPECT_LT(measureArc(*gauge->backgroundLayer()->path(), center, 28).worstRadius, 0.05);
    EXPECT_EQ(gauge->progressLayer()->lineWidth(), 10);

    auto wide = layerBackedGauge({0, 0, 200, 100});
    wide->setValue(0.5);
    Arc arc = measureArc(*wide->progressLayer()->path(), {100, 50}, 88);
    EXPECT_LT(arc.worstRadius, 0.05);
    EXPECT_TRUE(near(arc.last, {100, 138}));  // above the view's top edge

    auto tiny = layerBackedGauge({0, 0, 24, 24});  // radius 0: nothing to draw
    tiny->setValue(0.5);
    EXPECT_TRUE(tiny->progressLayer()->path()->isEmpty());
    EXPECT_TRUE(tiny->backgroundLayer()->path()->isEmpty());
}

TEST_F(GaugeLayers, LayersAreReplacedAndShownOnlyWithABackingLayer) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2.0));
    auto gauge = Gauge::make({0, 0, 100, 100});
    gauge->setValue(0.5);  // laid out without a backing layer: built, not shown
    ASSERT_TRUE(gauge->progressLayer());
    EXPECT_FALSE(gauge->progressLayer()->superlayer());
    EXPECT_EQ(gauge->progressLayer()->contentsScale(), 2.0);

    gauge->awakeFromNib();
    ASSERT_TRUE(gauge->layer());
    auto old = gauge->progressLayer();
    gauge->layout();
    EXPECT_NE(gauge->progressLayer(), old);
    EXPECT_EQ(gauge->layer()->sublayers().size(), 2u);  // the old ones went
    gauge->layout();
    EXPECT_EQ(gauge->layer()->sublayers().size(), 2u);
}

using DoubleGaugeLayers = GaugeTest;

TEST_F(DoubleGaugeLayers, TwoRingsKeepTheirLayersAndShowValuesUnclamped) {
    auto gauge = DoubleGauge::make({0, 0, 100, 100});
    gauge->setWantsLayer(true);
    auto layers = std::vector<std::shared_ptr<CALayer>>{gauge->backgroundLayerInner(), gauge->backgroundLayerOuter(),
                                                        gauge->progressLayerInner(), gauge->progressLayerOuter()};
    gauge->setValue1(0.5);
    gauge->setValue2(1.2);
    EXPECT_EQ(gauge->layer()->sublayers(), layers);  // the same four objects, in this order

    Arc first = measureArc(*gauge->progressLayerInner()->path(), center, 38);
    EXPECT_NEAR(first.sweep, -135, 1e-3);
    EXPECT_LT(first.worstRadius, 0.05);
    Arc second = measureArc(*gauge->progressLayerOuter()->path(), center, 28);
    EXPECT_NEAR(second.sweep, -324, 1e-3);  // 1.2 runs past the track's end
    EXPECT_NEAR(angleOf(second.last, center), -99, 1e-6);  // 261 degrees
    EXPECT_LT(second.worstRadius, 0.05);
    EXPECT_LT(measureArc(*gauge->backgroundLayerOuter()->path(), center, 28).worstRadius, 0.05);
    EXPECT_EQ(gauge->value2(), 1.2);

    CGColor separator = NSColor::separatorColor()->cgColor();
    EXPECT_EQ(gauge->progressLayerOuter()->strokeColor(), separator);
    EXPECT_EQ(gauge->backgroundLayerInner()->strokeColor(), separator.copy(0.1));
}

TEST_F(DoubleGaugeLayers, EverySetterRedrawsEvenWithTheSameValue) {
    class Counting : public DoubleGauge {
    public:
        using DoubleGauge::DoubleGauge;
        void drawProgressOuter() override {
            ++redraws;
            DoubleGauge::drawProgressOuter();
        }
        int redraws = 0;
    };
    auto gauge = std::make_shared<Counting>(CGRect{0, 0, 100, 100});
    gauge->setValue2(0.5);
    gauge->setValue2(0.5);
    gauge->setColorOuter(gauge->colorOuter());
    EXPECT_EQ(gauge->redraws, 3);
    EXPECT_FALSE(gauge->progressLayerOuter()->superlayer());  // no backing layer yet
}
