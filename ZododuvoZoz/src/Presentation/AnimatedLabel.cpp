#include "ZododuvoZoz/Presentation/AnimatedLabel.hpp"

#include "QuartzCore/CATransition.hpp"

namespace ZododuvoZoz {

void AnimatedLabel::setTitle(const std::optional<std::string>& title) {
    title_ = title;
    CATransition transition;
    transition.type = CATransitionType::fade;
    transition.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    transition.duration = duration();
    if (auto viewLayer = layer()) viewLayer->add(transition, "kCATransitionFade");
    setStringValue(title_.value_or(""));
}

}  // namespace ZododuvoZoz
