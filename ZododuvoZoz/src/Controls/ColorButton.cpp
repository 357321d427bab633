#include "ZododuvoZoz/Controls/ColorButton.hpp"

#include "ColorConversions.hpp"
#include "LayerDrawing.hpp"

namespace ZododuvoZoz {

ColorButton::ColorButton(CGRect frame) : NSButton(frame) { ColorButton::setup(); }

void ColorButton::setFill(bool fill) {
    fill_ = fill;
    setup();
}

void ColorButton::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    setup();
}

void ColorButton::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    setup();
}

void ColorButton::setTextColor(const std::shared_ptr<NSColor>& color) {
    textColor_ = color;
    setup();
}

void ColorButton::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    if (auto layer = this->layer()) layer->setCornerRadius(radius);
}

void ColorButton::setEnabled(bool enabled) {
    NSButton::setEnabled(enabled);
    setup();
}

void ColorButton::setup() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, cornerRadius_);
        drawBackground();
        drawText();
    });
}

void ColorButton::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, cornerRadius_);
    backgroundLayer_->setLineWidth(lineWidth_);
    if (isEnabled()) {
        backgroundLayer_->setStrokeColor(cgColorOrNone(color_));
        backgroundLayer_->setFillColor(fill_ ? cgColorOrNone(color_) : std::nullopt);
    } else {
        auto grey = NSColor::lightGrayColor()->cgColor();
        backgroundLayer_->setStrokeColor(grey);
        backgroundLayer_->setFillColor(grey);
    }
    LayerDrawing::attach(*this, backgroundLayer_);
}

void ColorButton::drawText() {
    auto color = isEnabled() ? (textColor_ ? textColor_ : color_) : NSColor::darkGrayColor();
    LayerDrawing::drawTitle(*this, textLayer_, color);
}

void ColorButton::scaleDown() { LayerDrawing::applyScale(*this, 0.95); }

void ColorButton::scaleUp() { LayerDrawing::applyScale(*this, 1.0); }

void ColorButton::layout() {
    NSButton::layout();
    setup();
}

void ColorButton::mouseDown(const NSEvent& event) {
    LayerDrawing::pressWithScale(*this, afterPress_, [this] { scaleDown(); }, [&] { NSButton::mouseDown(event); },
                                 [this] { scaleUp(); });
}

void ColorButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void ColorButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
