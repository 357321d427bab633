#include "ZododuvoZoz/HoverView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSTrackingArea.hpp"

namespace ZododuvoZoz {

void HoverView::setRadius(CGFloat radius) {
    radius_ = radius;
    setNeedsDisplay();
}

void HoverView::resetHover() {
    if (!enableHover_) return;
    mouseOver_ = false;
    setNeedsDisplay();
}

void HoverView::awakeFromNib() {
    NSView::awakeFromNib();
    auto options = NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways() |
                   NSTrackingArea::Options::inVisibleRect();
    addTrackingArea(std::make_shared<NSTrackingArea>(bounds(), options, shared_from_this()));
}

void HoverView::mouseEntered(const NSEvent& event) {
    NSView::mouseEntered(event);
    if (!enableHover_) return;
    mouseOver_ = true;
    setNeedsDisplay();
}

void HoverView::mouseExited(const NSEvent& event) {
    NSView::mouseExited(event);
    if (!enableHover_) return;
    mouseOver_ = false;
    setNeedsDisplay();
}

void HoverView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    setNeedsDisplay();
}

void HoverView::draw(const CGRect& dirtyRect) {
    if (!mouseOver_) {
        NSView::draw(dirtyRect);
        return;
    }
    if (!hoverColor_) return;
    hoverColor_->setFill();
    NSBezierPath::roundedRect(bounds(), 4, 4)->fill();
}

}  // namespace ZododuvoZoz
