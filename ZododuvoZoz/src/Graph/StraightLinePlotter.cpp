#include "ZododuvoZoz/Graph/StraightLinePlotter.hpp"

#include <cmath>

#include "LineDrawing.hpp"

namespace ZododuvoZoz {

/// A marker or a pair of highlight discs, made after the line so that they lie above it.
struct StraightLinePlotter::Decoration {
    bool highlight = false;
    CGPoint point;
};

StraightLinePlotter::StraightLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors)
    : AreaLinePlotter(colors, true) {}

StraightLinePlotter::StraightLinePlotter(const std::shared_ptr<NSColor>& strokeColor, bool fillArea)
    : AreaLinePlotter(LineDrawing::defaultColors(), fillArea) {
    strokeColor_ = strokeColor;
}

void StraightLinePlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    // Without a layer even the last pass's drawing stays.
    if (!layer || !beginPass(layer, min, max)) return;
    if (points_.empty()) {
        drawLine(*layer, min, max, bottomOffset);
        if (fillArea_) fillLine(*layer, min, max, bottomOffset);
    } else {
        drawPoints(*layer, max, bottomOffset);
    }
}

std::optional<std::shared_ptr<NSBezierPath>> StraightLinePlotter::linePath(const CALayer& layer, CGFloat min,
                                                                           CGFloat max, CGFloat bottomOffset,
                                                                           std::vector<Decoration>* decorations,
                                                                           bool record) {
    const std::size_t count = mData_.size();
    if (count < 2) return std::nullopt;
    if (!mData_.front() && drawNilMode_ != DrawNilMode::drawMinValue) return std::nullopt;
    auto path = NSBezierPath::make();
    CGPoint previous = straightPoint(layer, 0, min, max, bottomOffset);
    path->move(previous);
    if (record) calculatedPoints_.push_back(previous);
    for (std::size_t i = 1; i < count; ++i) {
        const auto& sample = mData_[i];
        if (!sample && drawNilMode_ == DrawNilMode::stop) break;
        if (!sample && drawNilMode_ == DrawNilMode::stopAndHighlightPreviousValue) {
            if (decorations) decorations->push_back({true, previous});
            break;
        }
        const bool last = i == count - 1;
        const CGPoint point = straightPoint(layer, i, min, max, bottomOffset);
        path->line(point);
        if (record) calculatedPoints_.push_back(point);
        if (decorations && !last && sample && *sample > min) decorations->push_back({false, point});
        previous = point;
    }
    return path;
}

void StraightLinePlotter::drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    truncate(layer);
    std::vector<Decoration> decorations;
    auto path = linePath(layer, min, max, bottomOffset, &decorations, true);
    if (!path) return;
    strokeLine(*path);

    for (const auto& decoration : decorations) {
        if (decoration.highlight) {
            auto faint = strokeColor_ ? strokeColor_->withAlphaComponent(0.25) : nullptr;
            markerLayers_.push_back(LineDrawing::highlightDisc(layer, faint, outerMarkerRadius_, decoration.point));
            markerLayers_.push_back(LineDrawing::highlightDisc(layer, strokeColor_, innerMarkerRadius_, decoration.point));
        } else {
            addJoinMarker(layer, decoration.point);
        }
    }
}

void StraightLinePlotter::fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) {
    auto path = linePath(layer, min, max, bottomOffset, nullptr, false);
    if (!path || !fillLayer_) return;
    fillUnder(layer, *path, bottomOffset);
}

void StraightLinePlotter::drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset) {
    const CGFloat w = layer.bounds().width(), h = layer.bounds().height();
    const CGFloat plot = h - bottomOffset - lineWidth_;
    auto path = NSBezierPath::make();
    for (const auto& p : points_) {
        CGFloat x = p.x / maxX_ * w;
        // Not a number, or no finite place on the scale (a maxX of 0): the right end.
        if (!std::isfinite(x)) x = w - lineWidth_;
        const CGFloat y = std::isnan(p.y) ? plot : plot * (1 - p.y / max);
        const CGPoint point{x, y};
        calculatedPoints_.push_back(point);
        if (path->isEmpty()) {
            path->move(point);
        } else {
            path->line(point);
        }
    }
    strokeLayer_->setColors(colors_);
    if (fillArea_) {
        // The stroke layer keeps its black fill, so the area shows the line's gradient.
        LineDrawing::closeToBottom(*path, w, lineWidth_, h - bottomOffset);
    } else {
        strokeLayer_->setFillColor(nullptr);
    }
    styleStroke(path);
}

}  // namespace ZododuvoZoz
