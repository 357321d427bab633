#include "ZododuvoZoz/GaugeView.hpp"

#include "AppKit/NSColor.hpp"
#include "RingGeometry.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"

namespace ZododuvoZoz {
namespace {
// The outer edge of the stroke one point inside the view's edge.
CGFloat radiusOf(const CGRect& bounds, CGFloat lineWidth) { return bounds.width() * 0.5 - lineWidth * 0.5 - 1; }
}  // namespace

void GaugeView::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    layout();
}

void GaugeView::setUseRoundCap(bool round) {
    useRoundCap_ = round;
    layout();
}

void GaugeView::setValue(CGFloat value) {
    if (value == mValue_) return;
    mValue_ = ZuzeDiv::clamped<CGFloat>(value, 0, 1);
    setupLayers();
}

void GaugeView::layout() {
    NSView::layout();
    setupLayers();
}

void GaugeView::setupLayers() {
    setWantsLayer(true);
    backgroundLayer_->removeFromSuperlayer();
    progressLayer_->removeFromSuperlayer();
    if (auto host = layer()) {
        host->addSublayer(backgroundLayer_);
        host->addSublayer(progressLayer_);
    }
    drawBackground();
    drawProgress();
}

void GaugeView::drawBackground() {
    auto& layer = *backgroundLayer_;
    prepareRingLayer(layer, bounds(), lineWidth_);
    layer.setStrokeColor(NSColor::quaternaryLabelColor()->cgColor());
    layer.setPath(fullCircle(ringCenter(bounds()), radiusOf(bounds(), lineWidth_)));
}

void GaugeView::drawProgress() {
    auto& layer = *progressLayer_;
    prepareRingLayer(layer, bounds(), lineWidth_);
    layer.setStrokeColor(NSColor::controlAccentColor()->cgColor());
    layer.setLineCap(useRoundCap_ ? CAShapeLayerLineCap::round : CAShapeLayerLineCap::butt);
    layer.setStrokeStart(0);
    layer.setStrokeEnd(mValue_);
    layer.setPath(circleFromTop(ringCenter(bounds()), radiusOf(bounds(), lineWidth_)));
}

}  // namespace ZododuvoZoz
