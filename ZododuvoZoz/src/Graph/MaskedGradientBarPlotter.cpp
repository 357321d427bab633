#include "ZododuvoZoz/Graph/MaskedGradientBarPlotter.hpp"

#include "BarDrawing.hpp"

namespace ZododuvoZoz {

std::shared_ptr<NSBezierPath> MaskedGradientBarPlotter::barPath(const CALayer& layer, std::size_t index, CGFloat max,
                                                                CGFloat bottomOffset, bool full) const {
    auto slot = BarDrawing::slot(layer, data().size(), index, style_.inset, style_.share);
    const auto& sample = data()[index];
    if (!full || !sample || !style_.capsule) return BarDrawing::barPath(layer, slot, sample, max, bottomOffset, full);
    CGRect rect = BarDrawing::fullBar(layer, slot, *sample, max, bottomOffset);
    return NSBezierPath::roundedRect(rect, rect.width() / 2, rect.width() / 2);
}

void MaskedGradientBarPlotter::drawBars(const std::shared_ptr<CALayer>& layer, CGFloat max, CGFloat bottomOffset,
                                        bool full) {
    if (!layer) return;
    for (std::size_t i = 0; i < data().size(); ++i) {
        const auto& sample = data()[i];
        if (sample && *sample == 0 && !style_.capsule) {
            maskingLayers_.push_back(nullptr);
            gradientLayers_.push_back(nullptr);
            continue;
        }
        auto mask = BarDrawing::shapeLayer(*layer, *barPath(*layer, i, max, bottomOffset, full));
        mask->setStrokeColor(CGColor::clear());
        mask->setFillColor(CGColor::black());
        auto gradient = BarDrawing::gradientLayer(*layer, colors_, mask);
        maskingLayers_.push_back(mask);
        gradientLayers_.push_back(gradient);
        layer->addSublayer(gradient);
    }
}

void MaskedGradientBarPlotter::removeBars() {
    for (const auto& mask : maskingLayers_) {
        if (!mask) continue;
        mask->removeAllAnimations();
        mask->removeFromSuperlayer();
    }
    for (const auto& gradient : gradientLayers_) {
        if (gradient) gradient->removeFromSuperlayer();
    }
    maskingLayers_.clear();
    gradientLayers_.clear();
}

}  // namespace ZododuvoZoz
