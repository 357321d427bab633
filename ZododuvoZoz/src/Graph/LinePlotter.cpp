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

}  // namespace ZododuvoZoz
