#pragma once
// A transition: how the next change of a layer's whole look is shown (a cross-fade, a push...).
// Added to a layer under a key, it is kept as a record of its kind and timing; the layer itself
// changes at once.
#include <memory>

#include "QuartzCore/CAAnimation.hpp"

enum class CATransitionType { fade, moveIn, push, reveal };

class CATransition : public CAAnimation {
public:
    std::shared_ptr<CAAnimation> clone() const override { return std::make_shared<CATransition>(*this); }

    /// A cross-fade unless set.
    CATransitionType type = CATransitionType::fade;
};
