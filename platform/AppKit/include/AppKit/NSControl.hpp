#pragma once
// A view the user works: it shows a value, can be disabled, and sends its action when used: a
// message to its target (held weakly), or without one along the responder chain as the
// application sends actions, or else a block. A press is tracked from mouse-down to mouse-up: the
// window hands the mouse-up (and the drags in between) to the view that got the mouse-down.
#include <functional>
#include <memory>
#include <string>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSParagraphStyle.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/Selector.hpp"

class NSControl : public NSView {
public:
    /// A block run with the control as the sender, in place of a message.
    using Action = std::function<void(NSControl& sender)>;

    /// A state a control shows: on, off or mixed; a raw value outside these is kept as it is.
    struct StateValue {
        long rawValue = 0;
        static constexpr StateValue mixed() { return {-1}; }
        static constexpr StateValue off() { return {0}; }
        static constexpr StateValue on() { return {1}; }
        bool operator==(const StateValue&) const = default;
    };

    explicit NSControl(CGRect frame = {});

    // Target and action.
    /// The message sent; it replaces a block.
    const Selector& action() const { return selector_; }
    void setAction(Selector action);
    /// Held weakly; without one (or once it is gone) the message goes along the responder chain.
    std::shared_ptr<NSResponder> target() const { return target_.lock(); }
    void setTarget(const std::shared_ptr<NSResponder>& target) { target_ = target; }
    /// The block to run; it replaces a message. An empty one removes the action.
    void setAction(Action action);
    /// A member function of an object held weakly, run as a block: once the object is gone
    /// nothing is sent.
    template <class Target>
    void setTarget(const std::shared_ptr<Target>& target, void (Target::*method)(NSControl& sender)) {
        std::weak_ptr<Target> weak = target;
        setAction([weak, method](NSControl& sender) {
            if (auto strong = weak.lock()) ((*strong).*method)(sender);
        });
    }
    bool hasAction() const { return static_cast<bool>(selector_) || static_cast<bool>(block_); }
    /// Sends the action now, enabled or not, with the control (as an NSControl) as the sender;
    /// false when there is none or nobody received the message.
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
    Selector selector_;
    std::weak_ptr<NSResponder> target_;
    Action block_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool tracking_ = false;
    std::string stringValue_;
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    std::shared_ptr<NSFont> font_;
};
