#pragma once
// An animation of one property of a layer, named by its key path ("strokeEnd", "position").
#include <optional>
#include <string>

#include "QuartzCore/CAAnimation.hpp"

class CAPropertyAnimation : public CAAnimation {
public:
    CAPropertyAnimation() = default;
    explicit CAPropertyAnimation(std::string keyPath) : keyPath(std::move(keyPath)) {}
    std::shared_ptr<CAAnimation> clone() const override { return std::make_shared<CAPropertyAnimation>(*this); }

    std::optional<std::string> keyPath;
    bool isAdditive = false;
    bool isCumulative = false;
};
