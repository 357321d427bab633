#pragma once
// The common base of the objects that take part in handling the user's input: the application,
// windows, views and their controllers. Each event method passes the event on to the next
// responder by default, and does nothing at the end of the chain.
#include <memory>

class NSEvent;

class NSResponder {
public:
    virtual ~NSResponder() = default;

    /// The responder that gets the events this one does not handle (for a view: its superview).
    virtual NSResponder* nextResponder() const { return nextResponder_; }
    void setNextResponder(NSResponder* responder) { nextResponder_ = responder; }

    virtual void mouseDown(const NSEvent& event);
    virtual void mouseUp(const NSEvent& event);
    virtual void mouseDragged(const NSEvent& event);
    virtual void mouseMoved(const NSEvent& event);
    virtual void mouseEntered(const NSEvent& event);
    virtual void mouseExited(const NSEvent& event);
    virtual void rightMouseDown(const NSEvent& event);
    virtual void rightMouseUp(const NSEvent& event);
    virtual void scrollWheel(const NSEvent& event);
    virtual void keyDown(const NSEvent& event);
    virtual void keyUp(const NSEvent& event);

    virtual bool acceptsFirstResponder() const { return false; }

private:
    NSResponder* nextResponder_ = nullptr;
};
