#include "ZododuvoZoz/DoubleGauge.hpp"

#include "ColorConversions.hpp"
#include "RingGeometry.hpp"

namespace ZododuvoZoz {

DoubleGauge::DoubleGauge(CGRect frame) : NSView(frame) {}

void DoubleGauge::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    layout();
}

void DoubleGauge::setValue1(CGFloat value) {
    value1_ = value;
    layout();
}

void DoubleGauge::setValue2(CGFloat value) {
    value2_ = value;
    layout();
}

void DoubleGauge::setColorInner(const std::shared_ptr<NSColor>& color) {
    colorInner_ = color;
    layout();
}

void DoubleGauge::setColorOuter(const std::shared_ptr<NSColor>& color) {
    colorOuter_ = color;
    layout();
}

void DoubleGauge::awakeFromNib() {
    NSView::awakeFromNib();
    setWantsLayer(true);
}

void DoubleGauge::layout() {
    NSView::layout();
    drawBackgroundInner();
    drawBackgroundOuter();
    drawProgressInner();
    drawProgressOuter();
}

namespace {
// The first ring lies outside, the second one line width of space inside it.
CGFloat firstRadius(const CGRect& bounds, CGFloat lineWidth) { return insetRingRadius(bounds, lineWidth); }
CGFloat secondRadius(const CGRect& bounds, CGFloat lineWidth) { return bounds.width() * 0.5 - 4 * lineWidth - 2; }
}  // namespace

void DoubleGauge::configure(CAShapeLayer& layer, const std::shared_ptr<NSColor>& color, const CGPath& path) {
    layer.removeFromSuperlayer();
    prepareRingLayer(layer, bounds(), lineWidth_);
    layer.setStrokeColor(cgColorOrNone(color));
    layer.setLineCap(CAShapeLayerLineCap::round);
    layer.setPath(path);
    if (auto host = NSView::layer()) host->addSublayer(layer.shared_from_this());
}

void DoubleGauge::drawBackgroundInner() {
    configure(*backgroundLayerInner_, colorInner_ ? colorInner_->withAlphaComponent(0.1) : nullptr,
              ringTrack(ringCenter(bounds()), firstRadius(bounds(), lineWidth_)));
}

void DoubleGauge::drawBackgroundOuter() {
    configure(*backgroundLayerOuter_, colorOuter_ ? colorOuter_->withAlphaComponent(0.1) : nullptr,
              ringTrack(ringCenter(bounds()), secondRadius(bounds(), lineWidth_)));
}

void DoubleGauge::drawProgressInner() {
    configure(*progressLayerInner_, colorInner_, ringProgress(ringCenter(bounds()), firstRadius(bounds(), lineWidth_), value1_));
}

void DoubleGauge::drawProgressOuter() {
    configure(*progressLayerOuter_, colorOuter_,
              ringProgress(ringCenter(bounds()), secondRadius(bounds(), lineWidth_), value2_));
}

}  // namespace ZododuvoZoz
