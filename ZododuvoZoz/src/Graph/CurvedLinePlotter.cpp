#include "ZododuvoZoz/Graph/CurvedLinePlotter.hpp"

#include <cmath>

#include "LineDrawing.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

CurvedLinePlotter::CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : colors_(colors),
      fillColors_(LineDrawing::defaultFillColors()),
      lineWidth_(4 * Constants::onePixel()),
      strokeColor_(Colors::teal()) {}

CurvedLinePlotter::CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea)
    : CurvedLinePlotter(colors) {
    fillArea_ = fillArea;
}

void CurvedLinePlotter::setData(const DataSeries& data) {
    mData_ = data;
    SeriesPlotter::setData(data);
}

void CurvedLinePlotter::setPoints(const std::vector<CGPoint>& points) {
    points_ = points;
    requestRedraw();
}

void CurvedLinePlotter::removeLayers() {
    if (strokeLayer_) strokeLayer_->remove();
    if (fillLayer_) fillLayer_->remove();
    ZuzeDiv::removeAllFromSuperlayer(markerLayers_);
}

void CurvedLinePlotter::clear() {
    removeLayers();
    forgetSeries();
    mData_.clear();
    points_.clear();
    calculatedPoints_.clear();
}

void CurvedLinePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    calculatedPoints_.clear();
    removeLayers();
    if (!layer || !(max > 0 && min <= max)) return;
    strokeLayer_ = GradientLayer::make(layer, colors_, layer->bounds());
    if (fillArea_) fillLayer_ = GradientLayer::make(layer, fillColors_, layer->bounds());
    if (points_.empty()) {
        drawLine(*layer, min, max, bottomOffset);
        if (fillArea_) fillLine(*layer, min, max, bottomOffset);
    } else {
        drawPoints(*layer, max, bottomOffset);
        if (fillArea_) fillPoints(*layer, bottomOffset);
    }
}

std::shared_ptr<NSBezierPath> CurvedLinePlotter::curve(const CALayer& layer, CGFloat min, CGFloat max,
                                                       CGFloat bottomOffset, std::vector<CGPoint>* markers,
                                                       bool record) {
    const std::size_t count = mData_.size();
    if (count < 2) return nullptr;
    const CGFloat w = layer.bounds().width(), h = layer.bounds().height();
    const CGFloat step = (w - 2 * lineWidth_) / static_cast<CGFloat>(count - 1);
    auto y = [&](std::optional<CGFloat> value) {
        return LineDrawing::yPosition(value, min, max, h, bottomOffset, lineWidth_, lineWidth_) + lineWidth_ / 2;
    };

    auto path = NSBezierPath::make();
    CGPoint previous{0, y(mData_.front())};
    path->move(previous);
    if (record) calculatedPoints_.push_back(previous);
    for (std::size_t i = 1; i < count; ++i) {
        const auto& sample = mData_[i];
        const bool last = i == count - 1;
        const CGPoint point{last ? w + lineWidth_ : step * static_cast<CGFloat>(i), y(sample)};
        LineDrawing::addCurveStep(*path, point);
        if (record) calculatedPoints_.push_back(point);
        if (markers && !last && sample && *sample > min) {
            markers->push_back(previous);
            markers->push_back(point);
        }
        previous = point;
    }
    return path;
}

void CurvedLinePlotter::configureFill(const std::shared_ptr<NSBezierPath>& path) {
    fillLayer_->setColors(fillColors_);
    fillLayer_->setPath(path);
    fillLayer_->setLineWidth(0);
    fillLayer_->setStrokeColor(NSColor::clearColor());
    fillLayer_->setFillColor(NSColor::blackColor());
    fillLayer_->setStartPoint(fillStartPoint_);
    fillLayer_->setEndPoint(fillEndPoint_);
}

void CurvedLinePlotter::drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    if (truncateData_ && !truncated_) mData_ = LineDrawing::thinned(data(), layer.frame().width(), minimumDistance_);
    std::vector<CGPoint> markers;
    auto path = curve(layer, min, max, bottomOffset, &markers, true);
    if (!path) return;
    strokeLayer_->setStrokeColor(strokeColor_);
    strokeLayer_->setFillColor(nullptr);
    strokeLayer_->setPath(path);
    strokeLayer_->setLineWidth(lineWidth_);
    strokeLayer_->setLineJoin(lineJoin_);
    strokeLayer_->setLineDashPhase(lineDashPhase_);
    strokeLayer_->setLineDashPattern(lineDashPattern_);
    strokeLayer_->setStartPoint(strokeStartPoint_);
    strokeLayer_->setEndPoint(strokeEndPoint_);
    if (lineJoinMarker_ != LineJoinMarker::circle) return;
    for (const auto& point : markers) {
        markerLayers_.push_back(LineDrawing::joinMarker(layer, *strokeLayer_, point, lineJoinMarkerThickness_));
    }
}

void CurvedLinePlotter::fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    auto path = curve(layer, min, max, bottomOffset, nullptr, false);
    if (!path || !fillLayer_) return;
    LineDrawing::closeToBottom(*path, layer.bounds().width(), lineWidth_, layer.bounds().height() - bottomOffset);
    configureFill(path);
}

std::shared_ptr<NSBezierPath> CurvedLinePlotter::pointsCurve(CGFloat width) const {
    auto path = NSBezierPath::make();
    if (calculatedPoints_.empty()) return path;
    // The curve runs flat from the left edge to the first point and on past the right edge.
    path->move({0, calculatedPoints_.front().y});
    for (std::size_t i = 0; i < calculatedPoints_.size(); ++i) {
        CGPoint point = calculatedPoints_[i];
        if (i == calculatedPoints_.size() - 1) point.x = width + lineWidth_;
        LineDrawing::addCurveStep(*path, point);
    }
    return path;
}

void CurvedLinePlotter::drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset) {
    const CGFloat w = layer.bounds().width();
    const CGFloat h = layer.bounds().height() - bottomOffset - lineWidth_;
    for (const auto& p : points_) {
        CGFloat x = p.x / maxX_ * w;
        if (!std::isfinite(x)) x = w - lineWidth_;
        const CGFloat y = std::isnan(p.y) ? h - lineWidth_ : h - (p.y / max) * h;
        calculatedPoints_.push_back({x, y});
    }
    strokeLayer_->setStrokeColor(strokeColor_);
    strokeLayer_->setFillColor(nullptr);
    strokeLayer_->setPath(pointsCurve(w));
    strokeLayer_->setLineWidth(lineWidth_);
    strokeLayer_->setLineJoin(lineJoin_);
    strokeLayer_->setLineDashPhase(lineDashPhase_);
    strokeLayer_->setLineDashPattern(lineDashPattern_);
    strokeLayer_->setStartPoint(strokeStartPoint_);
    strokeLayer_->setEndPoint(strokeEndPoint_);
}

void CurvedLinePlotter::fillPoints(CALayer& layer, CGFloat bottomOffset) {
    if (!fillLayer_) return;
    auto path = pointsCurve(layer.bounds().width());
    if (path->isEmpty()) return;
    LineDrawing::closeToBottom(*path, layer.bounds().width(), lineWidth_, layer.bounds().height() - bottomOffset);
    configureFill(path);
}

}  // namespace ZododuvoZoz
