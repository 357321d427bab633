#include "ZododuvoZoz/Graph/PointAxis.hpp"

#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AxisLabels.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

void PointAxis::layout(const std::shared_ptr<CALayer>& layer, CGFloat) {
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    if (!points_.empty()) drawPoints(layer);
}

void PointAxis::clear() {
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    points_.clear();
}

void PointAxis::drawPoints(const std::shared_ptr<CALayer>& layer) {
    // Without a scale above 0 no point has a place on it.
    if (!layer || !(max_ > 0)) return;
    const CGFloat w = layer->bounds().width(), h = layer->bounds().height();
    const auto font = NSFont::systemFont(fontSize_, fontWeight_);
    NSBezierPath ticks;
    for (const auto& point : points_) {
        if (!point) continue;
        if (point->value > max_) return;  // the ticks drawn so far are not shown either
        const CGFloat x = point->value / max_ * w - tickRadius_ / 2;
        ticks.move({x, h - 24});
        ticks.line({x, h - 21});
        if (!point->text) continue;
        const CGSize size = AxisLabels::measure(*point->text, font, {64, 20});
        CGRect frame{x - size.width / 2, h - 24 + 2 + size.height / 2, size.width, 20};
        if (frame.maxX() > w) frame.origin.x = w - size.width - 1;
        auto label = AxisLabels::label(*point->text, font, NSColor::secondaryLabelColor(),
                                       CATextLayerAlignmentMode::center);
        label->setWrapped(false);
        label->setFrame(frame);
        layer->addSublayer(label);
        layers_.push_back(label);
    }
    tickLayer_->setPath(cgPath(ticks));
    tickLayer_->setStrokeColor(NSColor::tertiaryLabelColor()->cgColor());
    tickLayer_->setFillColor(std::nullopt);
    layers_.push_back(tickLayer_);
    layer->addSublayer(tickLayer_);
}

}  // namespace ZododuvoZoz
