#include "AppKit/NSControl.hpp"

#include "AppKit/NSApplication.hpp"

NSControl::NSControl(CGRect frame) : NSView(frame), font_(NSFont::systemFont(NSFont::systemFontSize())) {}

void NSControl::setAction(Selector action) {
    selector_ = std::move(action);
    block_ = nullptr;
}

void NSControl::setAction(Action action) {
    block_ = std::move(action);
    selector_ = Selector();
}

bool NSControl::sendAction() {
    if (block_) {
        // The block may replace the action while it runs.
        Action block = block_;
        block(*this);
        return true;
    }
    if (!selector_) return false;
    // The sender is the control as an NSControl, which is what a receiver casts it back to.
    std::shared_ptr<NSControl> sender = std::static_pointer_cast<NSControl>(shared_from_this());
    return NSApplication::shared().sendAction(selector_, target(), sender);
}

void NSControl::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    setNeedsDisplay();
}

void NSControl::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void NSControl::setStringValue(const std::string& value) {
    if (value == stringValue_) return;
    stringValue_ = value;
    setNeedsDisplay();
}

void NSControl::setAlignment(NSTextAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    setNeedsDisplay();
}

void NSControl::setFont(const std::shared_ptr<NSFont>& font) {
    if (font == font_) return;
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
