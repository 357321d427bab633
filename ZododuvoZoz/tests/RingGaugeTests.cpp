#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/GaugeView.hpp"
#include "ZododuvoZoz/GradientCircularGauge.hpp"

using namespace ZododuvoZoz;

namespace {
const CGPoint center{50, 50};

class CountingGaugeView : public GaugeView {
public:
    using GaugeView::GaugeView;
    void layout() override {
        ++layouts;
        GaugeView::layout();
    }
    void drawProgress() override {
        ++redraws;
        GaugeView::drawProgress();
    }
    int layouts = 0, redraws = 0;
};

std::shared_ptr<GradientCircularGauge> awokenGauge() {
    auto gauge = GradientCircularGauge::make({0, 0, 100, 100});
    gauge->awakeFromNib();
    gauge->layout();
    return gauge;
}

}  // namespace

using FullCircleGauge = GaugeTest;

TEST_F(FullCircleGauge, TrackAndRingTouchTheEdgesAndStartAtTheTop) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2.0));
    auto gauge = GaugeView::make({0, 0, 100, 100});  // made in code: it makes its own layer
    gauge->setValue(0.25);
    ASSERT_TRUE(gauge->layer());
    auto track = gauge->backgroundLayer(), ring = gauge->progressLayer();
    EXPECT_EQ(gauge->layer()->sublayers(), (std::vector<std::shared_ptr<CALayer>>{track, ring}));
    EXPECT_EQ(ring->frame(), gauge->bounds());
    EXPECT_EQ(ring->contentsScale(), 2.0);

    // Radius 45: with half the line width the outer edge is 1 point inside the view's edge.
    Arc circle = measureArc(*track->path(), center, 45);
    EXPECT_TRUE(near(circle.first, {95, 50}));
    EXPECT_NEAR(circle.sweep, 360, 1e-3);
    EXPECT_LT(circle.worstRadius, 0.05);
    EXPECT_EQ(track->strokeColor(), colorOf(NSColor::quaternaryLabelColor()));

    Arc fromTop = measureArc(*ring->path(), center, 45);
    EXPECT_TRUE(near(fromTop.first, {50, 95}));
    EXPECT_NEAR(fromTop.sweep, -360, 1e-3);  // clockwise, all the way round
    EXPECT_LT(fromTop.worstRadius, 0.05);
    EXPECT_EQ(ring->strokeEnd(), 0.25);
    EXPECT_EQ(ring->strokeColor(), colorOf(NSColor::controlAccentColor()));

    gauge->setUseRoundCap(false);
    EXPECT_EQ(ring->lineCap(), CAShapeLayerLineCap::butt);
    gauge->setLineWidth(10);  // radius 44
    EXPECT_LT(measureArc(*ring->path(), center, 44).worstRadius, 0.05);

    ring->removeFromSuperlayer();  // every layout puts the layers back, in order
    gauge->layout();
    EXPECT_EQ(gauge->layer()->sublayers(), (std::vector<std::shared_ptr<CALayer>>{track, ring}));
}

TEST_F(FullCircleGauge, ValuesAreClampedAndOnlyChangesSetTheLayersUp) {
    auto gauge = std::make_shared<CountingGaugeView>(CGRect{0, 0, 100, 100});
    gauge->setValue(-1);
    EXPECT_EQ(gauge->value(), 0);
    EXPECT_EQ(gauge->progressLayer()->strokeEnd(), 0);
    gauge->setValue(2);
    EXPECT_EQ(gauge->value(), 1);
    EXPECT_EQ(gauge->progressLayer()->strokeEnd(), 1);
    gauge->setValue(0.25);
    gauge->setValue(0.25);
    EXPECT_EQ(gauge->redraws, 3);
    EXPECT_EQ(gauge->layouts, 0);  // a value sets the layers up without a layout
    gauge->setLineWidth(8);        // the other setters lay out, even unchanged
    EXPECT_EQ(gauge->layouts, 1);
    EXPECT_EQ(gauge->redraws, 4);
}

TEST_F(FullCircleGauge, RenderShowsTheRingClockwiseFromTheTop) {
    auto gauge = GaugeView::make({0, 0, 100, 100});
    gauge->setUseRoundCap(false);
    gauge->setValue(0.25);  // the top right quarter
    auto image = ViewRenderer::image(*gauge);
    auto at = [&](double degrees) {
        CGPoint p = onCircle(center, 45, degrees);
        return pixelAt(*image, p.x, p.y);
    };
    CGColor accent = colorOf(NSColor::controlAccentColor());
    Bytes ring = at(45);
    EXPECT_EQ(ring[3], 255);
    EXPECT_NEAR(ring[2], accent.blue * 255, 2);
    Bytes track = at(135);  // the quaternary label colour is faint
    EXPECT_GT(track[3], 0);
    EXPECT_LT(track[3], 128);
    EXPECT_LT(at(-10)[3], 128);  // past the end, with butt caps
    EXPECT_EQ(pixelAt(*image, 50, 50), (Bytes{0, 0, 0, 0}));
}

using GradientRing = AnimatedViewTest;

TEST_F(GradientRing, LayersGoOnOnlyWhenAwokenAndMaskTheGradientWithARing) {
    auto fromCode = GradientCircularGauge::make({0, 0, 100, 100});
    fromCode->layout();
    fromCode->setValue(0.5);
    EXPECT_FALSE(fromCode->layer());  // nothing attached: it shows nothing

    auto gauge = awokenGauge();
    auto track = gauge->backgroundLayer();
    auto gradient = gauge->gradientLayer();
    auto mask = gauge->maskingLayer();
    EXPECT_EQ(gauge->layer()->sublayers(), (std::vector<std::shared_ptr<CALayer>>{track, gradient}));
    EXPECT_EQ(gradient->mask(), mask);
    EXPECT_EQ(gradient->colors(), (std::vector<CGColor>{colorOf(Colors::teal()), colorOf(Colors::cyan())}));
    // Radius 38 for both, the ring starting at the top and running clockwise.
    Arc circle = measureArc(*track->path(), center, 38);
    EXPECT_NEAR(circle.sweep, 360, 1e-3);
    EXPECT_LT(circle.worstRadius, 0.05);
    Arc ring = measureArc(*mask->path(), center, 38);
    EXPECT_TRUE(near(ring.first, {50, 88}));
    EXPECT_NEAR(ring.sweep, -360, 1e-3);
    EXPECT_EQ(mask->strokeEnd(), 0);

    gauge->setBackColor(nullptr);
    EXPECT_FALSE(track->strokeColor());
}

TEST_F(GradientRing, EveryChangeAnimatesAndTheEndStaysUntilAWayBackToZero) {
    auto gauge = awokenGauge();
    auto mask = gauge->maskingLayer();
    EXPECT_TRUE(mask->animationKeys().empty());

    gauge->setValue(0.6);
    auto grow = basicAnimation(*mask, "strokeEnd");
    ASSERT_TRUE(grow);
    EXPECT_EQ(std::get<double>(grow->fromValue), 0);
    EXPECT_EQ(std::get<double>(grow->toValue), 0.6);
    EXPECT_EQ(grow->duration, 0.5);
    EXPECT_EQ(grow->timingFunction, CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut));
    EXPECT_EQ(grow->fillMode, CAMediaTimingFillMode::both);
    EXPECT_FALSE(grow->isRemovedOnCompletion);

    advance(0.25);
    EXPECT_NEAR(mask->presentationValue("strokeEnd", mask->strokeEnd()), 0.3, 1e-6);
    advance(5);
    gauge->setColors({Colors::pink()});  // a layout keeps what shows: the model stays 0
    EXPECT_EQ(mask->strokeEnd(), 0);
    EXPECT_DOUBLE_EQ(mask->presentationValue("strokeEnd", mask->strokeEnd()), 0.6);

    gauge->setValue(0.6);  // unchanged: nothing new
    EXPECT_EQ(basicAnimation(*mask, "strokeEnd"), grow);
    gauge->setDuration(2);  // only the next change takes it
    EXPECT_EQ(basicAnimation(*mask, "strokeEnd"), grow);

    gauge->setValue(0);
    auto back = basicAnimation(*mask, "strokeEnd");
    EXPECT_EQ(std::get<double>(back->fromValue), 0.6);
    EXPECT_EQ(back->duration, 2);
    EXPECT_TRUE(back->isRemovedOnCompletion);
    advance(2);
    EXPECT_FALSE(mask->animation("strokeEnd"));
    EXPECT_EQ(mask->presentationValue("strokeEnd", mask->strokeEnd()), 0);

    gauge->setValue(1.4);  // not clamped
    EXPECT_EQ(gauge->value(), 1.4);
    EXPECT_EQ(std::get<double>(basicAnimation(*mask, "strokeEnd")->toValue), 1.4);
}

TEST_F(GradientRing, RenderShowsTheGradientAlongTheFilledPart) {
    auto gauge = awokenGauge();
    gauge->setBackColor(NSColor::make(0, 0, 0, 0.1));
    gauge->setValue(0.6);  // clockwise from the top to −126°
    advance(1);
    auto image = ViewRenderer::image(*gauge);
    auto at = [&](double degrees) {
        CGPoint p = onCircle(center, 38, degrees);
        return pixelAt(*image, p.x, p.y);
    };
    Bytes right = at(0);  // a quarter round, at x 88 of 100: nearly cyan
    EXPECT_EQ(right[3], 255);
    EXPECT_NEAR(right[0], 62 * 0.12, 4);
    EXPECT_NEAR(right[2], 177 * 0.12 + 208 * 0.88, 4);
    CGPoint lower = onCircle(center, 38, -110);  // near the end, at x 37: more teal than cyan
    double t = lower.x / 100;
    Bytes late = pixelAt(*image, lower.x, lower.y);
    EXPECT_EQ(late[3], 255);
    EXPECT_NEAR(late[0], 62 * (1 - t), 4);
    EXPECT_NEAR(late[1], 189 * (1 - t) + 182 * t, 4);
    EXPECT_NEAR(at(180)[3], 26, 2);  // three quarters round: only the track
    EXPECT_NEAR(at(-150)[3], 26, 2);  // past the end: only the track
    EXPECT_EQ(pixelAt(*image, 50, 50), (Bytes{0, 0, 0, 0}));
}
