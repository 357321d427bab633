#include "ZododuvoZoz/Presentation/TileView.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "ColorConversions.hpp"
#include "ZododuvoZoz/AppearanceExtensions.hpp"

namespace ZododuvoZoz {

void TileView::setRadius(CGFloat radius) {
    radius_ = radius;
    setNeedsDisplay(true);
}

void TileView::setSelected(bool selected) {
    isSelected_ = selected;
    setNeedsDisplay(true);
}

void TileView::resetHover() {
    if (!enableHover()) return;
    mouseOver_ = false;
    setNeedsDisplay(true);
}

void TileView::awakeFromNib() {
    NSView::awakeFromNib();
    auto options = NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways() |
                   NSTrackingArea::Options::inVisibleRect();
    addTrackingArea(std::make_shared<NSTrackingArea>(bounds(), options, weak_from_this().lock()));
}

void TileView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    setNeedsDisplay(true);
}

void TileView::mouseEntered(const NSEvent& event) {
    NSView::mouseEntered(event);
    if (!enableHover()) return;
    mouseOver_ = true;
    setNeedsDisplay(true);
    if (auto owner = delegate()) owner->tileEntered(*this);
}

void TileView::mouseExited(const NSEvent& event) {
    NSView::mouseExited(event);
    if (!enableHover()) return;
    mouseOver_ = false;
    setNeedsDisplay(true);
    if (auto owner = delegate()) owner->tileExited(*this);
}

void TileView::mouseDown(const NSEvent& event) {
    if (!disableInteraction()) NSView::mouseDown(event);
    // The owner hears of the click even when the views behind do not.
    if (isSelectable()) {
        if (auto owner = delegate()) owner->tileClicked(*this);
    }
}

void TileView::draw(const CGRect&) {
    bool dark = isDarkMode();
    std::shared_ptr<NSColor> fill;
    if (mouseOver_) {
        fill = dark ? rgb(68, 70, 73) : rgb(231, 231, 232);
    } else {
        fill = dark ? rgb(52, 54, 57) : rgb(247, 247, 248);
    }
    fill->setFill();
    NSBezierPath::roundedRect(bounds(), radius(), radius())->fill();
    if (isSelected()) {
        auto ring = NSBezierPath::roundedRect(bounds().insetBy(1, 1), radius(), radius());
        ring->setLineWidth(3);
        NSColor::linkColor()->setStroke();
        ring->stroke();
    }
}

}  // namespace ZododuvoZoz
