#include "ZododuvoZoz/GaugeView.hpp"

#include "AppKit/NSColor.hpp"
#include "RingGeometry.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"

namespace ZododuvoZoz {
namespace {
CGPoint centerOf(const CGRect& bounds) { return {bounds.width() * 0.5, bounds.height() * 0.5}; }
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
    layer.setContentsScale(Constants::screenScale());
    layer.setFrame(bounds());
    layer.setLineWidth(lineWidth_);
    layer.setFillColor(std::nullopt);
    layer.setStrokeColor(NSColor::quaternaryLabelColor()->cgColor());
    layer.setPath(fullCircle(centerOf(bounds()), radiusOf(bounds(), lineWidth_)));
}

void GaugeView::drawProgress() {
    auto& layer = *progressLayer_;
    layer.setContentsScale(Constants::screenScale());
    layer.setFrame(bounds());
    layer.setLineWidth(lineWidth_);
    layer.setFillColor(std::nullopt);
    layer.setStrokeColor(NSColor::controlAccentColor()->cgColor());
    layer.setLineCap(useRoundCap_ ? CAShapeLayerLineCap::round : CAShapeLayerLineCap::butt);
    layer.setStrokeStart(0);
    layer.setStrokeEnd(mValue_);
    layer.setPath(circleFromTop(centerOf(bounds()), radiusOf(bounds(), lineWidth_)));
}

}  // namespace ZododuvoZoz
