#include "ZododuvoZoz/Graph/PositiveNegativePlotter.hpp"

#include "LineDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

PositiveNegativePlotter::PositiveNegativePlotter(const std::shared_ptr<NSColor>& positive,
                                                 const std::shared_ptr<NSColor>& negative)
    : positive_(positive),
      negative_(negative),
      lineWidth_(4 * Constants::onePixel()),
      strokeColor_(Colors::teal()),
      initialThickness_(2 * Constants::onePixel()) {}

void PositiveNegativePlotter::setData(const DataSeries& data) {
    mData_ = data;
    SeriesPlotter::setData(data);
}

void PositiveNegativePlotter::setDrawNilMode(DrawNilMode mode) {
    drawNilMode_ = mode;
    requestRedraw();
}

void PositiveNegativePlotter::clear() {
    if (strokeLayer_) strokeLayer_->remove();
    if (initialLayer_) initialLayer_->remove();
    forgetSeries();
    mData_.clear();
    calculatedPoints_.clear();
}

void PositiveNegativePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max,
                                   CGFloat bottomOffset) {
    if (!layer) return;
    calculatedPoints_.clear();
    if (strokeLayer_) strokeLayer_->remove();
    if (initialLayer_) initialLayer_->remove();
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
    if (truncateData_ && !truncated_) mData_ = LineDrawing::thinned(data(), layer.frame().width(), minimumDistance_);
    const std::size_t count = mData_.size();
    if (count < 2) return;
    if (!mData_.front() && drawNilMode_ != DrawNilMode::drawMinValue) return;
    const CGFloat w = layer.bounds().width(), h = layer.bounds().height();
    const CGFloat step = (w - 2 * lineWidth_) / static_cast<CGFloat>(count - 1);
    auto y = [&](std::optional<CGFloat> value) {
        return LineDrawing::yPosition(value, min, max, h, bottomOffset, lineWidth_);
    };

    auto path = NSBezierPath::make();
    const CGPoint start{0, y(mData_.front()) + 1.0};
    path->move(start);
    calculatedPoints_.push_back(start);
    for (std::size_t i = 1; i < count; ++i) {
        const auto& sample = mData_[i];
        if (!sample && drawNilMode_ == DrawNilMode::stop) break;
        const bool last = i == count - 1;
        const CGPoint point{last ? w + lineWidth_ : step * static_cast<CGFloat>(i) + 1.0, y(sample) + lineWidth_ / 2};
        path->line(point);
        calculatedPoints_.push_back(point);
    }
    strokeLayer_->setStrokeColor(strokeColor_);
    strokeLayer_->setFillColor(nullptr);
    strokeLayer_->setPath(path);
    strokeLayer_->setLineWidth(lineWidth_);
    strokeLayer_->setLineJoin(lineJoin_);
    strokeLayer_->setLineDashPhase(lineDashPhase_);
    strokeLayer_->setLineDashPattern(lineDashPattern_);
    strokeLayer_->setStartPoint(strokeStartPoint_);
    strokeLayer_->setEndPoint(strokeEndPoint_);
}

}  // namespace ZododuvoZoz
