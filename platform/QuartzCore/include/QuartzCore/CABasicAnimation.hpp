#pragma once
// A property animation from one value to another (or by an amount).
#include "QuartzCore/CAPropertyAnimation.hpp"

class CABasicAnimation : public CAPropertyAnimation {
public:
    CABasicAnimation() = default;
    explicit CABasicAnimation(std::string keyPath) : CAPropertyAnimation(std::move(keyPath)) {}
    std::shared_ptr<CAAnimation> clone() const override { return std::make_shared<CABasicAnimation>(*this); }

    CAAnimationValue fromValue;
    CAAnimationValue toValue;
    CAAnimationValue byValue;
};
