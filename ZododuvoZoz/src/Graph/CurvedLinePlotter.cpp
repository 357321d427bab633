#include "ZododuvoZoz/Graph/CurvedLinePlotter.hpp"

#include <cmath>

#include "LineDrawing.hpp"

namespace ZododuvoZoz {

CurvedLinePlotter::CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : AreaLinePlotter(colors, true) {}

CurvedLinePlotter::CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea)
    : AreaLinePlotter(colors, fillArea) {}

void CurvedLinePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    if (!beginPass(layer, min, max)) return;
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

void CurvedLinePlotter::fillCurve(const CALayer& layer, const std::shared_ptr<NSBezierPath>& path,
                                  CGFloat bottomOffset) {
    // The area takes its colours again on every pass, a single colour included.
    fillLayer_->setColors(fillColors_);
    fillUnder(layer, path, bottomOffset);
}

void CurvedLinePlotter::drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    truncate(layer);
    std::vector<CGPoint> markers;
    auto path = curve(layer, min, max, bottomOffset, &markers, true);
    if (!path) return;
    strokeLine(path);
    for (const auto& point : markers) addJoinMarker(layer, point);
}

void CurvedLinePlotter::fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    auto path = curve(layer, min, max, bottomOffset, nullptr, false);
    if (!path || !fillLayer_) return;
    fillCurve(layer, path, bottomOffset);
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
    strokeLine(pointsCurve(w));
}

void CurvedLinePlotter::fillPoints(CALayer& layer, CGFloat bottomOffset) {
    if (!fillLayer_) return;
    auto path = pointsCurve(layer.bounds().width());
    if (path->isEmpty()) return;
    fillCurve(layer, path, bottomOffset);
}

}  // namespace ZododuvoZoz
