#include "ZododuvoZoz/Graph/LinePlotter.hpp"

#include "LineDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

LinePlotter::LinePlotter() : lineWidth_(4 * Constants::onePixel()), strokeColor_(Colors::teal()) {}

void LinePlotter::setData(const DataSeries& data) {
    mData_ = data;
    SeriesPlotter::setData(data);
}

void LinePlotter::clear() {
    removeLayers();
    forgetSeries();
    mData_.clear();
    calculatedPoints_.clear();
}

void LinePlotter::removeLayers() {
    if (strokeLayer_) strokeLayer_->remove();
}

void LinePlotter::truncate(const CALayer& layer) {
    if (truncateData_ && !truncated_) mData_ = LineDrawing::thinned(data(), layer.frame().width(), minimumDistance_);
}

void LinePlotter::styleStroke(const std::shared_ptr<NSBezierPath>& path) {
    strokeLayer_->setPath(path);
    strokeLayer_->setLineWidth(lineWidth_);
    strokeLayer_->setLineJoin(lineJoin_);
    strokeLayer_->setLineDashPhase(lineDashPhase_);
    strokeLayer_->setLineDashPattern(lineDashPattern_);
    strokeLayer_->setStartPoint(strokeStartPoint_);
    strokeLayer_->setEndPoint(strokeEndPoint_);
}

void LinePlotter::strokeLine(const std::shared_ptr<NSBezierPath>& path) {
    strokeLayer_->setStrokeColor(strokeColor_);
    strokeLayer_->setFillColor(nullptr);
    styleStroke(path);
}

CGPoint LinePlotter::straightPoint(const CALayer& layer, std::size_t index, CGFloat min, CGFloat max,
                                   CGFloat bottomOffset) const {
    const CGFloat w = layer.bounds().width(), h = layer.bounds().height();
    const CGFloat y = LineDrawing::yPosition(mData_[index], min, max, h, bottomOffset, lineWidth_);
    if (index == 0) return {0, y + 1.0};
    if (index == mData_.size() - 1) return {w + lineWidth_, y + lineWidth_ / 2};
    const CGFloat step = (w - 2 * lineWidth_) / static_cast<CGFloat>(mData_.size() - 1);
    return {step * static_cast<CGFloat>(index) + 1.0, y + lineWidth_ / 2};
}

}  // namespace ZododuvoZoz
