#include "AppKit/NSControl.hpp"

NSControl::NSControl(CGRect frame) : NSView(frame), font_(NSFont::systemFont(NSFont::systemFontSize())) {}

bool NSControl::sendAction() {
    if (!action_) return false;
    // The block may replace the action while it runs.
    Action action = action_;
    action(*this);
    return true;
}

void NSControl::setEnabled(bool enabled) {
    enabled_ = enabled;
    setNeedsDisplay();
}

void NSControl::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void NSControl::setStringValue(const std::string& value) {
    stringValue_ = value;
    setNeedsDisplay();
}

void NSControl::setAlignment(NSTextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void NSControl::setFont(const std::shared_ptr<NSFont>& font) {
    font_ = font;
    setNeedsDisplay();
}

void NSControl::mouseDown(const NSEvent& event) {
    if (!enabled_) return;
    tracking_ = startTracking(locationOf(event));
}

void NSControl::mouseDragged(const NSEvent& event) {
    if (tracking_) continueTracking(locationOf(event));
}

void NSControl::mouseUp(const NSEvent& event) {
    if (!tracking_) return;
    tracking_ = false;
    stopTracking(locationOf(event));
}

bool NSControl::startTracking(CGPoint) {
    setHighlighted(true);
    return true;
}

void NSControl::continueTracking(CGPoint point) { setHighlighted(bounds().contains(point)); }

void NSControl::stopTracking(CGPoint point) {
    setHighlighted(false);
    if (enabled_ && bounds().contains(point)) sendAction();
}
