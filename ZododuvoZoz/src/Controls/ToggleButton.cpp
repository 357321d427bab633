#include "ZododuvoZoz/Controls/ToggleButton.hpp"

#include "ColorConversions.hpp"
#include "LayerDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

namespace {
constexpr CGFloat radius = 6;
}

ToggleButton::ToggleButton(CGRect frame) : NSButton(frame), onColor_(Colors::onColor()) { ToggleButton::redraw(); }

std::shared_ptr<ToggleButton> ToggleButton::make(CGRect frame) {
    auto button = std::make_shared<ToggleButton>(frame);
    button->trackingArea_ = LayerDrawing::replaceHoverArea(*button, nullptr);
    return button;
}

void ToggleButton::setOnColor(const std::shared_ptr<NSColor>& color) {
    onColor_ = color;
    redraw();
}

void ToggleButton::setAlwaysShowBackground(bool show) {
    alwaysShowBackground_ = show;
    redraw();
}

std::shared_ptr<NSColor> ToggleButton::hoverColor() const { return LayerDrawing::hoverHighlight(*this); }

void ToggleButton::setOn(bool on) {
    isOn_ = on;
    hover_ = false;
    redraw();
}

void ToggleButton::setIcon(const std::shared_ptr<NSImage>& icon) {
    icon_ = icon;
    redraw();
}

void ToggleButton::setup() { redraw(); }

void ToggleButton::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, radius);
        drawBackground();
        drawText();
        drawIcon();
    });
}

void ToggleButton::drawBackground() {
    LayerDrawing::reshape(*this, *backgroundLayer_, radius);
    std::shared_ptr<NSColor> fill;
    if (!isEnabled()) {
        fill = NSColor::lightGrayColor();
    } else if (isOn_) {
        fill = onColor_;
    } else if (hover_ || alwaysShowBackground_) {
        fill = hoverColor();
    }
    backgroundLayer_->setFillColor(cgColorOrNone(fill));
    LayerDrawing::attach(*this, backgroundLayer_);
}

void ToggleButton::drawText() {
    std::shared_ptr<NSColor> color;
    if (alwaysShowBackground_ && hover_ && !isOn_) {
        color = isDarkMode(*this) ? NSColor::systemTealColor() : NSColor::systemBlueColor();
    } else if (isOn_) {
        color = NSColor::systemBlueColor();
    } else {
        color = NSColor::labelColor();
    }
    LayerDrawing::drawTitle(*this, textLayer_, color);
}

void ToggleButton::drawIcon() { LayerDrawing::drawIcon(*this, imageLayer_, icon_, iconSize_); }

void ToggleButton::layout() {
    NSButton::layout();
    trackingArea_ = LayerDrawing::replaceHoverArea(*this, trackingArea_);
    redraw();
}

void ToggleButton::mouseDown(const NSEvent& event) {
    if (ignoreClick_) return;
    NSButton::mouseDown(event);
    LayerDrawing::afterPress(*this, afterPress_, [this] { tellDelegate(); });
}

void ToggleButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void ToggleButton::tellDelegate() {
    if (auto delegate = delegate_.lock()) {
        delegate->toggleButtonClicked(std::static_pointer_cast<ToggleButton>(shared_from_this()));
    }
}

void ToggleButton::mouseEntered(const NSEvent& event) {
    NSButton::mouseEntered(event);
    hover_ = true;
    redraw();
}

void ToggleButton::mouseExited(const NSEvent& event) {
    NSButton::mouseExited(event);
    hover_ = false;
    redraw();
}

void ToggleButton::viewDidChangeEffectiveAppearance() {
    NSButton::viewDidChangeEffectiveAppearance();
    redraw();
}

void ToggleButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
