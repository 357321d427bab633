#include "ZododuvoZoz/Presentation/HoverLabel.hpp"

#include "Controls/LayerDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"

namespace ZododuvoZoz {

HoverLabel::HoverLabel(CGRect frame) : NSTextField(frame) { redraw(); }

std::shared_ptr<HoverLabel> HoverLabel::make(CGRect frame) {
    auto label = std::make_shared<HoverLabel>(frame);
    label->replaceTrackingArea();
    return label;
}

void HoverLabel::replaceTrackingArea() { trackingArea_ = LayerDrawing::replaceHoverArea(*this, trackingArea_); }

std::shared_ptr<NSColor> HoverLabel::onColor() const { return Colors::onColor(); }

std::shared_ptr<NSColor> HoverLabel::hoverColor() const { return LayerDrawing::hoverHighlight(*this); }

void HoverLabel::setOn(bool on) {
    isOn_ = on;
    redraw();
}

void HoverLabel::setIcon(const std::shared_ptr<NSImage>& icon) {
    icon_ = icon;
    redraw();
}

void HoverLabel::setup() { redraw(); }

void HoverLabel::redraw() {
    // Colours resolve in the label's own appearance, whoever asks for the redraw.
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, 6);
        drawBackground();
        drawText();
        drawIcon();
    });
}

void HoverLabel::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, 6);
    if (isOn()) {
        backgroundLayer_->setFillColor(onColor()->cgColor());
    } else if (hover_) {
        backgroundLayer_->setFillColor(hoverColor()->cgColor());
    } else {
        backgroundLayer_->setFillColor(std::nullopt);
    }
    LayerDrawing::attach(*this, backgroundLayer_);
}

void HoverLabel::drawText() {
    LayerDrawing::drawText(*this, textLayer_, stringValue(), font(),
                           isOn() ? NSColor::systemBlueColor() : NSColor::labelColor());
}

void HoverLabel::drawIcon() { LayerDrawing::drawIcon(*this, imageLayer_, icon_, iconSize()); }

void HoverLabel::layout() {
    NSTextField::layout();
    replaceTrackingArea();
    redraw();
}

void HoverLabel::viewDidChangeEffectiveAppearance() {
    NSTextField::viewDidChangeEffectiveAppearance();
    redraw();
}

void HoverLabel::draw(const CGRect&) {}

void HoverLabel::mouseEntered(const NSEvent& event) {
    NSTextField::mouseEntered(event);
    hover_ = true;
    redraw();
}

void HoverLabel::mouseExited(const NSEvent& event) {
    NSTextField::mouseExited(event);
    hover_ = false;
    redraw();
}

}  // namespace ZododuvoZoz
