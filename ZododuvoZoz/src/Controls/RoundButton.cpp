#include "ZododuvoZoz/Controls/RoundButton.hpp"

#include "ColorConversions.hpp"
#include "LayerDrawing.hpp"

namespace ZododuvoZoz {

namespace {
constexpr CGFloat radius = 4;
}

RoundButton::RoundButton(CGRect frame) : NSButton(frame) { RoundButton::redraw(); }

void RoundButton::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    redraw();
}

void RoundButton::setCustomImage(const std::shared_ptr<NSImage>& image) {
    customImage_ = image;
    redraw();
}

void RoundButton::setup() { redraw(); }

void RoundButton::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, radius);
        drawBackground();
        drawText();
        drawImage();
    });
}

void RoundButton::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, radius);
    backgroundLayer_->setStrokeColor(std::nullopt);
    backgroundLayer_->setFillColor(cgColorOrNone(color_));
    LayerDrawing::attach(*this, backgroundLayer_);
}

void RoundButton::drawText() { LayerDrawing::drawTitle(*this, textLayer_, NSColor::whiteColor()); }

void RoundButton::drawImage() { LayerDrawing::drawImage(*this, imageLayer_, customImage_); }

void RoundButton::scaleDown() { LayerDrawing::applyScale(*this, 0.95); }

void RoundButton::scaleUp() { LayerDrawing::applyScale(*this, 1.0); }

void RoundButton::layout() {
    NSButton::layout();
    redraw();
}

void RoundButton::mouseDown(const NSEvent& event) {
    if (!isEnabled()) return;
    LayerDrawing::pressWithScale(*this, afterPress_, [this] { scaleDown(); }, [&] { NSButton::mouseDown(event); },
                                 [this] { scaleUp(); });
}

void RoundButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void RoundButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
