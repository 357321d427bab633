#include "ZododuvoZoz/Graph/PercentageBarPlotter.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

PercentageBarPlotter::PercentageBarPlotter(const std::shared_ptr<NSColor>& color)
    : color_(color), lineWidth_(2 * Constants::onePixel()) {}

void PercentageBarPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat, CGFloat) {
    if (!layer) return;
    barLayer_->removeFromSuperlayer();
    // Too narrow, reversed, or ends that are not numbers: no span.
    if (!(end_ - start_ >= minDelta_)) return;
    const CGFloat w = layer->frame().width(), h = layer->bounds().height();
    const CGRect rect{start_ * w, lineWidth_ / 2, (end_ - start_) * w, h};
    barLayer_->setContentsScale(Constants::screenScale());
    barLayer_->setPath(cgPath(*NSBezierPath::rect(rect)));
    barLayer_->setLineWidth(lineWidth_);
    if (color_) {
        barLayer_->setStrokeColor(color_->cgColor());
        barLayer_->setFillColor(color_->withAlphaComponent(fillAlpha_)->cgColor());
    }
    layer->addSublayer(barLayer_);
}

void PercentageBarPlotter::clear() {
    barLayer_->removeFromSuperlayer();
    forgetSeries();
}

}  // namespace ZododuvoZoz
