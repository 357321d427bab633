#include "ZododuvoZoz/ShadowView.hpp"

#include "AppKit/NSShadow.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

void ShadowView::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    applyShadow();
}

void ShadowView::setShadowRadius(CGFloat radius) {
    shadowRadius_ = radius;
    applyShadow();
}

void ShadowView::viewDidMoveToSuperview() {
    NSView::viewDidMoveToSuperview();
    applyShadow();
}

void ShadowView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    applyShadow();
}

void ShadowView::applyShadow() {
    setWantsLayer(true);
    setShadow(NSShadow::make());
    auto host = layer();
    if (!host) return;
    bool dark = isDarkMode(*this);
    host->setBackgroundColor(dark ? CGColor{28 / 255.0, 27 / 255.0, 29 / 255.0, 1} : CGColor::white());
    host->setCornerRadius(cornerRadius_);
    host->setShadowOpacity(0.15f);
    // The system colour is read in the view's own appearance.
    CGColor shadow = CGColor::white();
    if (!dark) effectiveAppearance()->performAsCurrentDrawingAppearance([&] { shadow = NSColor::shadowColor()->cgColor(); });
    host->setShadowColor(shadow);
    host->setShadowOffset({0, 0});
    host->setShadowRadius(shadowRadius_);
}

}  // namespace ZododuvoZoz
