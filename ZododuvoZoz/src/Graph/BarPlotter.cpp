#include "ZododuvoZoz/Graph/BarPlotter.hpp"

#include "BarDrawing.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {
namespace {
constexpr CGFloat kInset = 0.1;
constexpr CGFloat kShare = 0.8;
}  // namespace

BarPlotter::BarPlotter(const std::shared_ptr<NSColor>& color) : color_(color), lineWidth_(2 * Constants::onePixel()) {}

std::shared_ptr<CAShapeLayer> BarPlotter::makeBar(const std::shared_ptr<CALayer>& layer, std::size_t index,
                                                  CGFloat max, CGFloat bottomOffset, bool full) const {
    if (!layer) return nullptr;
    const auto& sample = data()[index];
    if (sample && *sample == 0) return nullptr;
    auto slot = BarDrawing::slot(*layer, data().size(), index, kInset, kShare);
    CGRect rect = full && sample ? BarDrawing::fullBar(*layer, slot, *sample, max, bottomOffset)
                                 : BarDrawing::onePointBar(*layer, slot, bottomOffset);
    auto bar = BarDrawing::shapeLayer(*layer, *NSBezierPath::rect(rect));
    bar->setLineWidth(lineWidth_);
    if (color_) {
        bar->setStrokeColor(color_->cgColor());
        bar->setFillColor(color_->withAlphaComponent(fillAlpha_)->cgColor());
    }
    return bar;
}

void BarPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    ZuzeDiv::removeAllFromSuperlayer(barLayers_);
    if (data().empty()) return;
    const bool full = !animationDuration_ || mAlreadyAnimated_;
    for (std::size_t i = 0; i < data().size(); ++i) {
        auto bar = makeBar(layer, i, max, bottomOffset, full);
        barLayers_.push_back(bar);
        if (bar) layer->addSublayer(bar);
    }
}

void BarPlotter::animate(const std::shared_ptr<CALayer>& layer, CGFloat, CGFloat max, CGFloat bottomOffset) {
    if (!layer || !animationDuration_ || !timingFunction_ || mAlreadyAnimated_) return;
    for (std::size_t i = 0; i < barLayers_.size() && i < data().size(); ++i) {
        if (!barLayers_[i]) continue;
        auto slot = BarDrawing::slot(*layer, data().size(), i, kInset, kShare);
        const auto& sample = data()[i];
        CGRect rect = sample ? BarDrawing::fullBar(*layer, slot, *sample, max, bottomOffset)
                             : BarDrawing::onePointBar(*layer, slot, bottomOffset);
        barLayers_[i]->add(BarDrawing::growAnimation(*NSBezierPath::rect(rect), *animationDuration_, *timingFunction_),
                           "path");
    }
    mAlreadyAnimated_ = true;
}

void BarPlotter::clear() {
    ZuzeDiv::removeAllFromSuperlayer(barLayers_);
    forgetSeries();
}

}  // namespace ZododuvoZoz
