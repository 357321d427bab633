#pragma once
// A view the user works: it shows a value, can be disabled, and sends its action when used. A
// press is tracked from mouse-down to mouse-up: the window hands the mouse-up (and the drags in
// between) to the view that got the mouse-down, as it does for every view.
#include <functional>
#include <memory>
#include <string>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSParagraphStyle.hpp"
#include "AppKit/NSView.hpp"

class NSControl : public NSView {
public:
    /// What the control sends: a block run with the control as the sender.
    using Action = std::function<void(NSControl& sender)>;

    explicit NSControl(CGRect frame = {});

    // Target and action.
    /// The block to run; an empty one removes the action.
    void setAction(Action action) { action_ = std::move(action); }
    /// A member function of a target, which is held weakly: once the target is gone nothing is sent.
    template <class Target>
    void setTarget(const std::shared_ptr<Target>& target, void (Target::*selector)(NSControl& sender)) {
        std::weak_ptr<Target> weak = target;
        action_ = [weak, selector](NSControl& sender) {
            if (auto strong = weak.lock()) ((*strong).*selector)(sender);
        };
    }
    bool hasAction() const { return static_cast<bool>(action_); }
    /// Sends the action now, enabled or not; false when there is none.
    bool sendAction();

    // Value and looks.
    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    /// Whether the control shows itself pressed (during a press inside it).
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    virtual std::string stringValue() const { return stringValue_; }
    virtual void setStringValue(const std::string& value);
    virtual NSTextAlignment alignment() const { return alignment_; }
    virtual void setAlignment(NSTextAlignment alignment);
    /// The system font at the control size (13 points) unless set.
    virtual std::shared_ptr<NSFont> font() const { return font_; }
    virtual void setFont(const std::shared_ptr<NSFont>& font);

    /// Controls handle their own presses, so a drag that starts on one does not move the window.
    bool mouseDownCanMoveWindow() const override { return false; }

    // The press: a disabled control ignores it; an enabled one tracks it until the mouse goes up.
    void mouseDown(const NSEvent& event) override;
    void mouseDragged(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    bool isTracking() const { return tracking_; }

protected:
    /// A press began at the point (in bounds coordinates); false declines to track it. By default
    /// the control highlights.
    virtual bool startTracking(CGPoint point);
    /// The pointer moved during the press; by default the control is highlighted while it is inside.
    virtual void continueTracking(CGPoint point);
    /// The press ended at the point; by default the highlight goes and the action is sent when the
    /// point is inside the bounds.
    virtual void stopTracking(CGPoint point);
    /// The event's location in this view's bounds coordinates.
    CGPoint locationOf(const NSEvent& event) const { return convert(event.locationInWindow, nullptr); }

private:
    Action action_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool tracking_ = false;
    std::string stringValue_;
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    std::shared_ptr<NSFont> font_;
};
