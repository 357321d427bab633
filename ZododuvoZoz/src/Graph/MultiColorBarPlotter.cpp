#include "ZododuvoZoz/Graph/MultiColorBarPlotter.hpp"

#include "BarDrawing.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

MultiColorBarPlotter::MultiColorBarPlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : colors_(colors), lineWidth_(2 * Constants::onePixel()), coloringMode_(ColoringMode::array) {}

MultiColorBarPlotter::MultiColorBarPlotter(const std::vector<std::shared_ptr<ColorRange>>& colorRanges)
    : colorRanges_(colorRanges), lineWidth_(2 * Constants::onePixel()), coloringMode_(ColoringMode::ranges) {}

std::shared_ptr<NSColor> MultiColorBarPlotter::colorOf(std::size_t index) const {
    switch (coloringMode_) {
        case ColoringMode::array:
            if (colors_.empty()) return nullptr;
            return colors_.size() == data().size() ? colors_[index] : colors_.front();
        case ColoringMode::ranges: {
            const auto& sample = data()[index];
            if (!sample) return nullptr;
            auto range = BarDrawing::rangeHolding(colorRanges_, *sample);
            return range ? range->color() : NSColor::systemBlueColor();
        }
    }
    return nullptr;
}

std::shared_ptr<CAShapeLayer> MultiColorBarPlotter::makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index,
                                                            CGFloat max, CGFloat bottomOffset, bool full) const {
    if (!layer) return nullptr;
    const auto& sample = data()[index];
    if (sample && *sample == 0) return nullptr;
    auto slot = BarDrawing::slot(*layer, data().size(), index, 0, 1);
    slot.x += offset_ / 2;
    slot.width -= offset_;
    CGRect rect = full && sample ? BarDrawing::fullBar(*layer, slot, *sample, max, bottomOffset)
                                 : BarDrawing::onePointBar(*layer, slot, bottomOffset);
    auto bar = BarDrawing::shapeLayer(*layer, *NSBezierPath::rect(rect));
    bar->setLineWidth(lineWidth_);
    // Without a colour the bar keeps a shape layer's own colours.
    if (auto color = colorOf(index)) {
        bar->setStrokeColor(color->cgColor());
        bar->setFillColor(color->withAlphaComponent(fillAlpha_)->cgColor());
    }
    return bar;
}

void MultiColorBarPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    ZuzeDiv::removeAllFromSuperlayer(barLayers_);
    if (data().empty()) return;
    const bool full = !animationDuration_ || mAlreadyAnimated_;
    for (std::size_t i = 0; i < data().size(); ++i) {
        auto bar = makeBar(layer, i, max, bottomOffset, full);
        barLayers_.push_back(bar);
        if (bar) layer->addSublayer(bar);
    }
}

void MultiColorBarPlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    for (std::size_t i = 0; i < barLayers_.size() && i < data().size(); ++i) {
        if (!barLayers_[i]) continue;
        auto slot = BarDrawing::slot(*layer, data().size(), i, 0, 1);
        slot.x += offset_ / 2;
        slot.width -= offset_;
        const auto& sample = data()[i];
        CGRect rect = sample ? BarDrawing::fullBar(*layer, slot, *sample, max, bottomOffset)
                             : BarDrawing::onePointBar(*layer, slot, bottomOffset);
        barLayers_[i]->add(BarDrawing::growAnimation(*NSBezierPath::rect(rect), *animationDuration_, *timingFunction_),
                           "path");
    }
    mAlreadyAnimated_ = true;
}

void MultiColorBarPlotter::clear() {
    ZuzeDiv::removeAllFromSuperlayer(barLayers_);
    forgetSeries();
}

}  // namespace ZododuvoZoz
