#include "ZododuvoZoz/Controls/HoverButton.hpp"

#include "LayerDrawing.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

namespace {
constexpr CGFloat radius = 6;
}

HoverButton::HoverButton(CGRect frame) : NSButton(frame) { HoverButton::redraw(); }

std::shared_ptr<HoverButton> HoverButton::make(CGRect frame) {
    auto button = std::make_shared<HoverButton>(frame);
    button->trackingArea_ = LayerDrawing::replaceHoverArea(*button, nullptr);
    return button;
}

void HoverButton::setTextColor(const std::shared_ptr<NSColor>& color) {
    textColor_ = color;
    redraw();
}

void HoverButton::setAlwaysShowBackground(bool show) {
    alwaysShowBackground_ = show;
    redraw();
}

void HoverButton::setCustomImage(const std::shared_ptr<NSImage>& image) {
    customImage_ = image;
    redraw();
}

void HoverButton::setup() { redraw(); }

void HoverButton::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, radius);
        drawBackground();
        drawText();
        drawImage();
    });
}

void HoverButton::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, radius);
    std::optional<CGColor> fill;
    if (!isEnabled()) {
        fill = NSColor::lightGrayColor()->cgColor();
    } else if (hover_ || alwaysShowBackground_) {
        CGFloat grey = isDarkMode(*this) ? 41 : 242;
        fill = CGColor{grey / 255, grey / 255, grey / 255, 1};
    }
    backgroundLayer_->setFillColor(fill);
    LayerDrawing::attach(*this, backgroundLayer_);
}

void HoverButton::drawText() { LayerDrawing::drawTitle(*this, textLayer_, textColor_); }

void HoverButton::drawImage() { LayerDrawing::drawImage(*this, imageLayer_, customImage_); }

void HoverButton::layout() {
    NSButton::layout();
    trackingArea_ = LayerDrawing::replaceHoverArea(*this, trackingArea_);
    redraw();
}

void HoverButton::mouseDown(const NSEvent& event) {
    NSButton::mouseDown(event);
    LayerDrawing::afterPress(*this, afterPress_, [this] { tellDelegate(); });
}

void HoverButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void HoverButton::tellDelegate() {
    if (auto delegate = delegate_.lock()) {
        delegate->hoverButtonClicked(std::static_pointer_cast<HoverButton>(shared_from_this()));
    }
}

void HoverButton::mouseEntered(const NSEvent& event) {
    NSButton::mouseEntered(event);
    hover_ = true;
    redraw();
}

void HoverButton::mouseExited(const NSEvent& event) {
    NSButton::mouseExited(event);
    hover_ = false;
    redraw();
}

void HoverButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
