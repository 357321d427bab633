#include "GradientBars.hpp"

#include "BarDrawing.hpp"

namespace ZododuvoZoz::GradientBars {
namespace {
std::shared_ptr<NSBezierPath> fullPath(const CALayer& layer, const DataSeries& data, std::size_t index, CGFloat max,
                                       CGFloat bottomOffset, const Style& style) {
    auto slot = BarDrawing::slot(layer, data.size(), index, style.inset, style.share);
    const auto& sample = data[index];
    if (!sample) return NSBezierPath::rect(BarDrawing::onePointBar(layer, slot, bottomOffset));
    CGRect rect = BarDrawing::fullBar(layer, slot, *sample, max, bottomOffset);
    if (!style.capsule) return NSBezierPath::rect(rect);
    return NSBezierPath::roundedRect(rect, rect.width() / 2, rect.width() / 2);
}
}  // namespace

void draw(Layers layers, const std::shared_ptr<CALayer>& layer, const DataSeries& data, CGFloat max,
          CGFloat bottomOffset, bool full, const std::vector<std::shared_ptr<NSColor>>& colors, const Style& style) {
    remove(layers);
    if (data.empty() || !layer) return;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto& sample = data[i];
        if (sample && *sample == 0 && !style.capsule) {
            layers.masks.push_back(nullptr);
            layers.gradients.push_back(nullptr);
            continue;
        }
        auto path = full ? fullPath(*layer, data, i, max, bottomOffset, style)
                         : NSBezierPath::rect(BarDrawing::onePointBar(
                               *layer, BarDrawing::slot(*layer, data.size(), i, style.inset, style.share), bottomOffset));
        auto mask = BarDrawing::shapeLayer(*layer, *path);
        mask->setStrokeColor(CGColor::clear());
        mask->setFillColor(CGColor::black());
        auto gradient = BarDrawing::gradientLayer(*layer, colors, mask);
        layers.masks.push_back(mask);
        layers.gradients.push_back(gradient);
        layer->addSublayer(gradient);
    }
}

void animate(Layers layers, CALayer& layer, const DataSeries& data, CGFloat max, CGFloat bottomOffset,
             double duration, CAMediaTimingFunctionName timing, const Style& style) {
    for (std::size_t i = 0; i < layers.masks.size() && i < data.size(); ++i) {
        if (!layers.masks[i]) continue;
        auto path = fullPath(layer, data, i, max, bottomOffset, style);
        layers.masks[i]->add(BarDrawing::growAnimation(*path, duration, timing), "path");
    }
}

void remove(Layers layers) { BarDrawing::removeGradientBars(layers.masks, layers.gradients); }

}  // namespace ZododuvoZoz::GradientBars
