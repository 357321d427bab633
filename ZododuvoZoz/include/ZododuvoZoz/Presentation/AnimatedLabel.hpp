#pragma once
// A text field that cross-fades to each new title.
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSTextField.hpp"

namespace ZododuvoZoz {

class AnimatedLabel : public NSTextField {
public:
    explicit AnimatedLabel(CGRect frame = {}) : NSTextField(frame) {}
    static std::shared_ptr<AnimatedLabel> make(CGRect frame = {}) { return std::make_shared<AnimatedLabel>(frame); }

    /// Seconds the fade takes; 0.75 unless set.
    virtual double duration() const { return duration_; }
    virtual void setDuration(double seconds) { duration_ = seconds; }
    /// Setting it adds a fade ("kCATransitionFade", ease in and out, `duration`) to the view's
    /// layer, when it has one, and shows the title (the empty text for none).
    virtual const std::optional<std::string>& title() const { return title_; }
    virtual void setTitle(const std::optional<std::string>& title);

private:
    double duration_ = 0.75;
    std::optional<std::string> title_;
};

}  // namespace ZododuvoZoz
