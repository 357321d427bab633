#include <gtest/gtest.h>

#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CATransaction.hpp"

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
