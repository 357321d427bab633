#include "ZododuvoZoz/Graph/ShapeBarPlotter.hpp"

#include "BarDrawing.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

ShapeBarPlotter::ShapeBarPlotter() : lineWidth_(2 * Constants::onePixel()) {}

std::shared_ptr<CAShapeLayer> ShapeBarPlotter::makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index,
                                                       CGFloat max, CGFloat bottomOffset, bool full) const {
    if (!layer) return nullptr;
    const auto& sample = data()[index];
    if (sample && *sample == 0) return nullptr;
    auto bar = BarDrawing::shapeLayer(*layer, *barPath(*layer, index, max, bottomOffset, full));
    bar->setLineWidth(lineWidth_);
    if (auto color = barColor(index)) {
        bar->setStrokeColor(color->cgColor());
        bar->setFillColor(color->withAlphaComponent(fillAlpha_)->cgColor());
    }
    return bar;
}

void ShapeBarPlotter::drawBars(const std::shared_ptr<CALayer>& layer, CGFloat max, CGFloat bottomOffset, bool full) {
    // Without a layer every sample gets an empty entry.
    for (std::size_t i = 0; i < data().size(); ++i) {
        auto bar = makeBar(layer, i, max, bottomOffset, full);
        barLayers_.push_back(bar);
        if (bar) layer->addSublayer(bar);
    }
}

void ShapeBarPlotter::removeBars() { ZuzeDiv::removeAllFromSuperlayer(barLayers_); }

}  // namespace ZododuvoZoz
