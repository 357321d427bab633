#include "BarDrawing.hpp"

#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz::BarDrawing {

Slot slot(const CALayer& layer, std::size_t count, std::size_t index, CGFloat inset, CGFloat share) {
    const CGFloat s = layer.bounds().width() / static_cast<CGFloat>(count);
    return {s * static_cast<CGFloat>(index) + inset * s, share * s};
}

CGRect fullBar(const CALayer& layer, Slot slot, CGFloat value, CGFloat max, CGFloat bottomOffset) {
    const CGFloat base = layer.bounds().height() - bottomOffset;
    const CGFloat h = value > 0 && max > 0 ? value / max * base : 1;
    return {slot.x, base - h, slot.width, h};
}

CGRect onePointBar(const CALayer& layer, Slot slot, CGFloat bottomOffset) {
    return {slot.x, layer.bounds().height() - bottomOffset - 1, slot.width, 1};
}

std::shared_ptr<NSBezierPath> barPath(const CALayer& layer, Slot slot, std::optional<CGFloat> sample, CGFloat max,
                                      CGFloat bottomOffset, bool full) {
    return NSBezierPath::rect(full && sample ? fullBar(layer, slot, *sample, max, bottomOffset)
                                             : onePointBar(layer, slot, bottomOffset));
}

std::shared_ptr<CAShapeLayer> shapeLayer(const CALayer& host, const NSBezierPath& path) {
    auto layer = CAShapeLayer::make();
    layer->setFrame(host.bounds());
    layer->setContentsScale(Constants::screenScale());
    layer->setPath(cgPath(path));
    return layer;
}

std::shared_ptr<CAGradientLayer> gradientLayer(const CALayer& host, const std::vector<std::shared_ptr<NSColor>>& colors,
                                               const std::shared_ptr<CAShapeLayer>& mask) {
    auto gradient = CAGradientLayer::make();
    gradient->setFrame(host.bounds());
    gradient->setContentsScale(Constants::screenScale());
    std::vector<CGColor> stops;
    for (const auto& color : colors) {
        if (color) stops.push_back(color->cgColor());
    }
    gradient->setColors(stops);
    gradient->setStartPoint({0.5, 0.0});
    gradient->setEndPoint({0.5, 1.0});
    gradient->setMask(mask);
    return gradient;
}

CABasicAnimation growAnimation(const NSBezierPath& to, double duration, CAMediaTimingFunctionName timing) {
    CABasicAnimation animation("path");
    animation.toValue = CGPath(cgPath(to));
    animation.duration = duration;
    animation.timingFunction = CAMediaTimingFunction(timing);
    animation.fillMode = CAMediaTimingFillMode::forwards;
    animation.isRemovedOnCompletion = false;
    return animation;
}

std::shared_ptr<ColorRange> rangeHolding(const std::vector<std::shared_ptr<ColorRange>>& ranges, CGFloat value) {
    for (const auto& range : ranges) {
        if (range && range->min() <= value && value <= range->max()) return range;
    }
    return nullptr;
}

}  // namespace ZododuvoZoz::BarDrawing
