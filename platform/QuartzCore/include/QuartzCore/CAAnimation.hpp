#pragma once
// An animation as a record of its timing: layers keep the animations added to them by key, and
// the values their basic animations show at a moment can be asked of the layer (presentationValue).
#include <memory>
#include <optional>
#include <variant>

#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"

/// What an animation holds before its start and after its end.
enum class CAMediaTimingFillMode { removed, forwards, backwards, both };

/// A value an animation moves between.
using CAAnimationValue = std::variant<std::monostate, double, CGPoint, CGSize, CGRect, CGColor, CGPath>;

class CAAnimation {
public:
    virtual ~CAAnimation() = default;
    virtual std::shared_ptr<CAAnimation> clone() const { return std::make_shared<CAAnimation>(*this); }

    /// Seconds; 0 means the transaction's duration.
    double duration = 0;
    double beginTime = 0;
    double timeOffset = 0;
    float speed = 1;
    float repeatCount = 0;
    double repeatDuration = 0;
    bool autoreverses = false;
    CAMediaTimingFillMode fillMode = CAMediaTimingFillMode::removed;
    bool isRemovedOnCompletion = true;
    std::optional<CAMediaTimingFunction> timingFunction;
};
