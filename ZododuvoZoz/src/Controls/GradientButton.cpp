#include "ZododuvoZoz/Controls/GradientButton.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "LayerDrawing.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

GradientButton::GradientButton(CGRect frame) : NSButton(frame), colors_{Colors::teal(), Colors::cyan()} {
    GradientButton::setup();
}

void GradientButton::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    setup();
}

void GradientButton::setCornerRadius(CGFloat radius) {
    cornerRadius_ = radius;
    if (auto layer = this->layer()) layer->setCornerRadius(radius);
}

void GradientButton::setEnabled(bool enabled) {
    NSButton::setEnabled(enabled);
    setup();
}

void GradientButton::setup() {
    LayerDrawing::redrawing(*this, [this] {
        LayerDrawing::prepareViewLayer(*this, cornerRadius_);
        drawBackground();
        drawText();
    });
}

void GradientButton::drawBackground() {
    gradientLayer_->removeFromSuperlayer();
    CGRect bounds = this->bounds();
    CGPoint middle{bounds.midX(), bounds.midY()};

    maskingLayer_->setFrame(bounds);
    maskingLayer_->setPath(cgPath(*NSBezierPath::rect(bounds)));
    maskingLayer_->setFillColor(NSColor::blackColor()->cgColor());
    maskingLayer_->setStrokeColor(NSColor::clearColor()->cgColor());
    maskingLayer_->setPosition(middle);
    maskingLayer_->setContentsScale(Constants::screenScale());

    gradientLayer_->setFrame(bounds);
    gradientLayer_->setColors(cgColors(colors_));
    gradientLayer_->setStartPoint({0, 0.5});
    gradientLayer_->setEndPoint({1, 0.5});
    gradientLayer_->setMask(maskingLayer_);
    gradientLayer_->setPosition(middle);
    LayerDrawing::attach(*this, gradientLayer_);
}

void GradientButton::drawText() {
    LayerDrawing::drawTitle(*this, textLayer_, isEnabled() ? NSColor::whiteColor() : NSColor::darkGrayColor());
}

void GradientButton::scaleDown() { LayerDrawing::applyScale(*this, 0.95); }

void GradientButton::scaleUp() { LayerDrawing::applyScale(*this, 1.0); }

void GradientButton::layout() {
    NSButton::layout();
    setup();
}

void GradientButton::mouseDown(const NSEvent& event) {
    LayerDrawing::pressWithScale(*this, afterPress_, [this] { scaleDown(); }, [&] { NSButton::mouseDown(event); },
                                 [this] { scaleUp(); });
}

void GradientButton::mouseUp(const NSEvent& event) {
    NSButton::mouseUp(event);
    LayerDrawing::pressEnded(afterPress_);
}

void GradientButton::draw(const CGRect&) {}

}  // namespace ZododuvoZoz
