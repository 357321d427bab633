#include "ZododuvoZoz/RoundView.hpp"

#include "ColorConversions.hpp"

namespace ZododuvoZoz {

RoundView::RoundView(CGRect frame) : NSView(frame) { applyStyle(); }

void RoundView::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    applyStyle();
}

void RoundView::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    applyStyle();
}

void RoundView::setRadius(CGFloat radius) {
    radius_ = radius;
    applyStyle();
}

void RoundView::setBorderColor(const std::shared_ptr<NSColor>& color) {
    borderColor_ = color;
    applyStyle();
}

void RoundView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    applyStyle();
}

void RoundView::applyStyle() {
    setWantsLayer(true);
    auto host = layer();
    if (!host) return;
    // System colours are read in the view's own appearance.
    effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        host->setCornerRadius(radius_);
        host->setBackgroundColor(cgColorOrNone(color_));
        host->setBorderColor(cgColorOrNone(borderColor_));
        host->setBorderWidth(lineWidth_);
    });
}

}  // namespace ZododuvoZoz
