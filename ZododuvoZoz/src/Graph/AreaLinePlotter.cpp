#include "ZododuvoZoz/Graph/AreaLinePlotter.hpp"

#include "LineDrawing.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

AreaLinePlotter::AreaLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea)
    : colors_(colors), fillColors_(LineDrawing::defaultFillColors()), fillArea_(fillArea) {}

void AreaLinePlotter::setPoints(const std::vector<CGPoint>& points) {
    points_ = points;
    requestRedraw();
}

void AreaLinePlotter::clear() {
    LinePlotter::clear();
    points_.clear();
}

void AreaLinePlotter::removeLayers() {
    LinePlotter::removeLayers();
    if (fillLayer_) fillLayer_->remove();
    ZuzeDiv::removeAllFromSuperlayer(markerLayers_);
}

bool AreaLinePlotter::beginPass(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max) {
    calculatedPoints_.clear();
    removeLayers();
    if (!layer || !(max > 0 && min <= max)) return false;
    strokeLayer_ = GradientLayer::make(layer, colors_, layer->bounds());
    if (fillArea_) fillLayer_ = GradientLayer::make(layer, fillColors_, layer->bounds());
    return true;
}

void AreaLinePlotter::addJoinMarker(CALayer& layer, CGPoint point) {
    if (lineJoinMarker_ != LineJoinMarker::circle || !strokeLayer_) return;
    markerLayers_.push_back(LineDrawing::joinMarker(layer, *strokeLayer_, point, lineJoinMarkerThickness_));
}

void AreaLinePlotter::fillUnder(const CALayer& layer, const std::shared_ptr<NSBezierPath>& path, CGFloat bottomOffset) {
    LineDrawing::closeToBottom(*path, layer.bounds().width(), lineWidth_, layer.bounds().height() - bottomOffset);
    fillLayer_->setPath(path);
    fillLayer_->setLineWidth(0);
    fillLayer_->setStrokeColor(NSColor::clearColor());
    fillLayer_->setFillColor(NSColor::blackColor());
    fillLayer_->setStartPoint(fillStartPoint_);
    fillLayer_->setEndPoint(fillEndPoint_);
}

}  // namespace ZododuvoZoz
