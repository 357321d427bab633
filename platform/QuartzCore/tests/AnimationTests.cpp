#include <gtest/gtest.h>

#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATransaction.hpp"
#include "Testing/TestEnvironment.hpp"

TEST(CAAnimation, LayersKeepACopyOfEachAnimationByKey) {
    auto layer = CALayer::make();
    CABasicAnimation grow("strokeEnd");
    grow.fromValue = 0.0;
    grow.toValue = 0.6;
    grow.duration = 0.5;
    grow.fillMode = CAMediaTimingFillMode::both;
    grow.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    layer->add(grow, "grow");
    grow.toValue = 1.0;  // changing the original does not touch the added copy

    auto added = std::dynamic_pointer_cast<const CABasicAnimation>(layer->animation("grow"));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->keyPath, "strokeEnd");
    EXPECT_EQ(std::get<double>(added->toValue), 0.6);
    EXPECT_EQ(added->fillMode, CAMediaTimingFillMode::both);
    EXPECT_EQ(added->timingFunction->controlPoint(1), (std::array<float, 2>{0.42f, 0}));

    CABasicAnimation move("position");
    move.toValue = CGPoint{-270, 5};
    move.repeatCount = 1e30f;
    layer->add(move, "movement");
    layer->add(grow, "grow");  // the same key replaces, keeping its place
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string>{"grow", "movement"}));
    EXPECT_EQ(std::get<double>(std::dynamic_pointer_cast<const CABasicAnimation>(layer->animation("grow"))->toValue), 1.0);
    layer->removeAnimation("grow");
    EXPECT_FALSE(layer->animation("grow"));
    layer->removeAllAnimations();
    EXPECT_TRUE(layer->animationKeys().empty());
}

TEST(CATransaction, NestsSettingsAndRunsCompletionsAtCommit) {
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::setDisableActions(true);  // no transaction open: ignored
    EXPECT_FALSE(CATransaction::disableActions());

    int completed = 0;
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    CATransaction::setAnimationDuration(1);
    CATransaction::setCompletionBlock([&] { completed += 1; });
    CATransaction::begin();
    EXPECT_TRUE(CATransaction::disableActions());  // inherited from the outer one
    CATransaction::setDisableActions(false);
    CATransaction::setCompletionBlock([&] { completed += 10; });
    EXPECT_FALSE(CATransaction::disableActions());
    EXPECT_EQ(CATransaction::animationDuration(), 1);
    CATransaction::commit();
    EXPECT_EQ(completed, 10);
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_EQ(completed, 11);
    EXPECT_EQ(CATransaction::depth(), 0);
    EXPECT_EQ(CATransaction::animationDuration(), 0.25);
    CATransaction::commit();  // nothing open: nothing happens
}

namespace {
CABasicAnimation strokeTo(double from, double to, double duration) {
    CABasicAnimation animation("strokeEnd");
    animation.fromValue = from;
    animation.toValue = to;
    animation.duration = duration;
    animation.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    animation.fillMode = CAMediaTimingFillMode::both;
    return animation;
}
}  // namespace

using PresentationValues = VirtualTimeTest;

TEST_F(PresentationValues, BasicAnimationsRunOnTheClockAndHoldOrLeaveAtTheirEnd) {
    auto layer = CAShapeLayer::make();
    layer->setStrokeEnd(0);
    auto grow = strokeTo(0, 0.6, 0.5);
    grow.isRemovedOnCompletion = false;
    layer->add(grow, "strokeEnd");
    EXPECT_DOUBLE_EQ(layer->presentationValue("strokeEnd", layer->strokeEnd()), 0);
    advance(0.25);  // half the time of a symmetric curve: half the way
    EXPECT_NEAR(layer->presentationValue("strokeEnd", layer->strokeEnd()), 0.3, 1e-6);
    advance(0.1);  // eased: ahead of the linear 0.42
    EXPECT_GT(layer->presentationValue("strokeEnd", 0.0), 0.42);
    advance(10);
    EXPECT_DOUBLE_EQ(layer->presentationValue("strokeEnd", layer->strokeEnd()), 0.6);  // held
    EXPECT_EQ(layer->strokeEnd(), 0);  // the model is untouched
    EXPECT_DOUBLE_EQ(layer->presentationValue("strokeStart", 0.1), 0.1);  // other keys: the model

    layer->add(strokeTo(0.6, 0, 0.5), "strokeEnd");  // removed on completion
    advance(0.49);
    EXPECT_TRUE(layer->animation("strokeEnd"));
    EXPECT_GT(layer->presentationValue("strokeEnd", 0.0), 0);
    advance(0.01);
    EXPECT_FALSE(layer->animation("strokeEnd"));
    EXPECT_TRUE(layer->animationKeys().empty());
    EXPECT_DOUBLE_EQ(layer->presentationValue("strokeEnd", 0.25), 0.25);
}

TEST_F(PresentationValues, RepeatsDelaysAndMissingEnds) {
    auto layer = CALayer::make();
    layer->setPosition({100, 20});
    CABasicAnimation drift("position");
    drift.toValue = CGPoint{-100, 20};  // from the model position
    drift.duration = 10;
    drift.repeatCount = HUGE_VALF;
    drift.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::linear);
    layer->add(drift, "movement");
    advance(2.5);
    EXPECT_NEAR(layer->presentationValue("position", layer->position()).x, 50, 1e-9);
    advance(1000);  // a hundred rounds later: the same place in the round
    CGPoint shown = layer->presentationValue("position", layer->position());
    EXPECT_NEAR(shown.x, 50, 1e-9);
    EXPECT_EQ(shown.y, 20);
    EXPECT_TRUE(layer->animation("movement"));  // never over

    auto late = CAShapeLayer::make();
    CABasicAnimation delayed("strokeEnd");
    delayed.byValue = 0.5;  // from the model by half
    delayed.beginTime = 1;
    delayed.duration = 1;
    late->add(delayed, "strokeEnd");
    EXPECT_DOUBLE_EQ(late->presentationValue("strokeEnd", 0.2), 0.2);  // not started, no backwards fill
    delayed.fillMode = CAMediaTimingFillMode::backwards;
    late->add(delayed, "strokeEnd");
    EXPECT_DOUBLE_EQ(late->presentationValue("strokeEnd", 0.2), 0.2);  // holds its first value
    advance(1.5);
    EXPECT_DOUBLE_EQ(late->presentationValue("strokeEnd", 0.2), 0.45);
}

TEST_F(PresentationValues, TheRendererDrawsWhatAnimationsShow) {
    auto shape = CAShapeLayer::make();
    shape->setFrame({0, 0, 100, 10});
    CGMutablePath line;
    line.move({0, 5});
    line.addLine({100, 5});
    shape->setPath(line);
    shape->setFillColor(std::nullopt);
    shape->setStrokeColor(CGColor::black());
    shape->setLineWidth(4);
    shape->setStrokeEnd(0);
    auto fill = strokeTo(0, 1, 1);
    fill.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::linear);
    fill.isRemovedOnCompletion = false;
    shape->add(fill, "strokeEnd");
    advance(0.5);

    auto host = CALayer::make();
    host->setFrame({0, 0, 100, 10});
    host->addSublayer(shape);
    CABasicAnimation slide("position");
    slide.toValue = CGPoint{70, 5};  // 20 to the right of the model position (50, 5)
    slide.duration = 1;
    slide.fillMode = CAMediaTimingFillMode::forwards;
    slide.isRemovedOnCompletion = false;
    shape->add(slide, "slide");
    advance(1);

    auto context = CGContext::makeBitmap(nullptr, 100, 10, 8, 0, CGColorSpace::deviceRGB,
                                         {CGImageAlphaInfo::premultipliedFirst, true});
    host->render(*context);
    auto image = context->makeImage();
    EXPECT_EQ(image->pixel(15, 5)[3], 0);    // moved 20 to the right
    EXPECT_EQ(image->pixel(25, 5)[3], 255);
    EXPECT_EQ(image->pixel(95, 5)[3], 255);  // the whole line: the stroke animation is held at 1
}
