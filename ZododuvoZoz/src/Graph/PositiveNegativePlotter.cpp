#include "ZododuvoZoz/Graph/PositiveNegativePlotter.hpp"

#include "LineDrawing.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

PositiveNegativePlotter::PositiveNegativePlotter(const std::shared_ptr<NSColor>& positive,
                                                 const std::shared_ptr<NSColor>& negative)
    : positive_(positive), negative_(negative), initialThickness_(2 * Constants::onePixel()) {}

void PositiveNegativePlotter::removeLayers() {
    LinePlotter::removeLayers();
    if (initialLayer_) initialLayer_->remove();
}

void PositiveNegativePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max,
                                   CGFloat bottomOffset) {
    if (!layer) return;
    calculatedPoints_.clear();
    removeLayers();
    if (!(max > 0 && min <= max)) return;

    // The colour follows where the whole series ends, whatever the thinning keeps.
    std::shared_ptr<NSColor> lineColor = NSColor::blackColor();
    if (!data().empty() && data().back() && *data().back() != initial_) {
        lineColor = *data().back() > initial_ ? positive_ : negative_;
    }
    strokeLayer_ = GradientLayer::make(layer, {lineColor, lineColor}, layer->bounds());
    auto separator = NSColor::separatorColor();
    initialLayer_ = GradientLayer::make(layer, {separator, separator}, layer->bounds());
    drawInitial(*layer, min, max, bottomOffset);
    drawLine(*layer, min, max, bottomOffset);
}

void PositiveNegativePlotter::drawInitial(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    const CGFloat y =
        LineDrawing::yPosition(initial_, min, max, layer.bounds().height(), bottomOffset, lineWidth_) + 1.0;
    auto path = NSBezierPath::make();
    path->move({0, y});
    path->line({layer.frame().width(), y});
    initialLayer_->setStrokeColor(initialColor_);
    initialLayer_->setFillColor(nullptr);
    initialLayer_->setLineWidth(initialThickness_);
    initialLayer_->setLineDashPhase(initialLineDashPhase_);
    initialLayer_->setLineDashPattern(initialLineDashPattern_);
    initialLayer_->setPath(path);
}

void PositiveNegativePlotter::drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    truncate(layer);
    const std::size_t count = mData_.size();
    if (count < 2) return;
    if (!mData_.front() && drawNilMode_ != DrawNilMode::drawMinValue) return;
    auto path = NSBezierPath::make();
    const CGPoint start = straightPoint(layer, 0, min, max, bottomOffset);
    path->move(start);
    calculatedPoints_.push_back(start);
    for (std::size_t i = 1; i < count; ++i) {
        if (!mData_[i] && drawNilMode_ == DrawNilMode::stop) break;
        const CGPoint point = straightPoint(layer, i, min, max, bottomOffset);
        path->line(point);
        calculatedPoints_.push_back(point);
    }
    strokeLine(path);
}

}  // namespace ZododuvoZoz
