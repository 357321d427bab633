#include "ZododuvoZoz/Controls/CheckBox.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSCursor.hpp"
#include "LayerDrawing.hpp"
#include "QuartzCore/CATransaction.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

namespace {
bool isKnown(NSControl::StateValue state) {
    return state == NSControl::StateValue::mixed() || state == NSControl::StateValue::off() ||
           state == NSControl::StateValue::on();
}
}  // namespace

CheckBox::CheckBox(CGRect frame) : NSView(frame) { CheckBox::redraw(); }

void CheckBox::setState(NSControl::StateValue state) {
    bool changed = state != state_;
    state_ = state;
    if (changed) redrawWithoutAnimation();
}

void CheckBox::setEnabled(bool enabled) {
    isEnabled_ = enabled;
    redraw();
}

void CheckBox::redrawWithoutAnimation() {
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    redraw();
    CATransaction::commit();
}

void CheckBox::redraw() {
    LayerDrawing::redrawing(*this, [this] {
        shapeLayer_->removeFromSuperlayer();
        imageLayer_->removeFromSuperlayer();
        setWantsLayer(true);
        CGRect bounds = this->bounds();
        CGFloat scale = Constants::screenScale();

        shapeLayer_->setFrame(bounds);
        CGFloat radius = bounds.width() / 5;
        shapeLayer_->setPath(cgPath(*NSBezierPath::roundedRect(bounds, radius, radius)));
        shapeLayer_->setContentsScale(scale);

        imageLayer_->setFrame(bounds);
        imageLayer_->setContentsScale(scale);
        imageLayer_->setLineWidth(frame().width() / 7);
        imageLayer_->setStrokeColor(NSColor::whiteColor()->cgColor());
        imageLayer_->setFillColor(std::nullopt);
        imageLayer_->setLineJoin(CAShapeLayerLineJoin::round);
        imageLayer_->setLineCap(CAShapeLayerLineCap::round);

        // Off keeps the mark's path; it is not shown. Other raw values change nothing.
        if (state_ == NSControl::StateValue::mixed()) {
            shapeLayer_->setFillColor(NSColor::controlAccentColor()->cgColor());
            imageLayer_->setPath(mixedPath());
        } else if (state_ == NSControl::StateValue::off()) {
            shapeLayer_->setFillColor(NSColor::systemGrayColor()->cgColor());
        } else if (state_ == NSControl::StateValue::on()) {
            shapeLayer_->setFillColor(NSColor::controlAccentColor()->cgColor());
            imageLayer_->setPath(checkMarkPath());
        }

        if (auto layer = this->layer()) {
            layer->addSublayer(shapeLayer_);
            if (state_ == NSControl::StateValue::on() || state_ == NSControl::StateValue::mixed()) {
                layer->addSublayer(imageLayer_);
            }
        }
    });
}

CGPath CheckBox::checkMarkPath() const {
    CGFloat w = bounds().width(), h = bounds().height();
    CGMutablePath path;
    path.move({w / 4.16, h / 2.2});
    path.addLine({w / 2.33, h / 3.5});
    path.addLine({w - w / 3.8, h - h / 3});
    return path;
}

CGPath CheckBox::mixedPath() const {
    CGFloat w = bounds().width(), h = bounds().height();
    CGMutablePath path;
    path.move({w * 0.25, h * 0.5});
    path.addLine({w - w * 0.25, h * 0.5});
    return path;
}

void CheckBox::layout() {
    NSView::layout();
    redrawWithoutAnimation();
}

void CheckBox::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    redraw();
}

void CheckBox::resetCursorRects() { addCursorRect(bounds(), NSCursor::pointingHandCursor()); }

void CheckBox::mouseDown(const NSEvent& event) {
    NSView::mouseDown(event);
    if (!isEnabled_) return;
    NSControl::StateValue previous = state_;
    if (previous == NSControl::StateValue::mixed() || previous == NSControl::StateValue::on()) {
        state_ = NSControl::StateValue::off();
    } else if (previous == NSControl::StateValue::off()) {
        state_ = NSControl::StateValue::on();
    }
    if (isKnown(previous)) redrawWithoutAnimation();
    if (auto delegate = delegate_.lock()) delegate->checkBox(state_);
}

}  // namespace ZododuvoZoz
