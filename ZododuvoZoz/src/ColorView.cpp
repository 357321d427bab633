#include "ZododuvoZoz/ColorView.hpp"

namespace ZododuvoZoz {

ColorView::ColorView(CGRect frame) : NSView(frame) { applyColor(); }

void ColorView::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    if (auto host = layer()) {
        std::optional<CGColor> value;
        if (color) effectiveAppearance()->performAsCurrentDrawingAppearance([&] { value = color->cgColor(); });
        host->setBackgroundColor(value);
    }
}

void ColorView::layout() {
    NSView::layout();
    applyColor();
}

void ColorView::applyColor() {
    setWantsLayer(true);
    auto host = layer();
    if (!host) return;
    std::optional<CGColor> value;
    if (color_) effectiveAppearance()->performAsCurrentDrawingAppearance([&] { value = color_->cgColor(); });
    host->setBackgroundColor(value);
    host->setCornerRadius(bounds().height() * 0.5);
    host->setMasksToBounds(true);
}

}  // namespace ZododuvoZoz
