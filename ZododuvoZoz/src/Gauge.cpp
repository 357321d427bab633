#include "ZododuvoZoz/Gauge.hpp"

#include "RingGeometry.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"

namespace ZododuvoZoz {

Gauge::Gauge(CGRect frame) : NSView(frame) {}

void Gauge::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    layout();
}

void Gauge::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    layout();
}

void Gauge::setValue(CGFloat value) {
    if (value == mValue_) return;
    mValue_ = ZuzeDiv::clamped<CGFloat>(value, 0, 1);
    layout();
}

void Gauge::awakeFromNib() {
    NSView::awakeFromNib();
    setWantsLayer(true);
}

void Gauge::layout() {
    NSView::layout();
    drawBackground();
    drawProgress();
}

std::shared_ptr<CAShapeLayer> Gauge::makeArcLayer() const {
    auto layer = CAShapeLayer::make();
    prepareRingLayer(*layer, bounds(), lineWidth_);
    layer->setLineCap(CAShapeLayerLineCap::round);
    return layer;
}

void Gauge::drawBackground() {
    if (backgroundLayer_) backgroundLayer_->removeFromSuperlayer();
    auto layer = makeArcLayer();
    if (color_) layer->setStrokeColor(color_->withAlphaComponent(0.1)->cgColor());
    layer->setPath(ringTrack(ringCenter(bounds()), insetRingRadius(bounds(), lineWidth_)));
    if (auto host = NSView::layer()) host->addSublayer(layer);
    backgroundLayer_ = layer;
}

void Gauge::drawProgress() {
    if (progressLayer_) progressLayer_->removeFromSuperlayer();
    auto layer = makeArcLayer();
    layer->setStrokeColor((color_ ? color_ : Colors::teal())->cgColor());
    layer->setPath(ringProgress(ringCenter(bounds()), insetRingRadius(bounds(), lineWidth_), mValue_));
    if (auto host = NSView::layer()) host->addSublayer(layer);
    progressLayer_ = layer;
}

}  // namespace ZododuvoZoz
