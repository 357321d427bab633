#include "ZododuvoZoz/Graph/ColorizedSegmentPlotter.hpp"

#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "BarDrawing.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {

void ColorizedSegmentPlotter::clear() {
    ZuzeDiv::removeAllFromSuperlayer(segmentLayers_);
    colorRanges_.clear();
    forgetSeries();
}

void ColorizedSegmentPlotter::draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max,
                                   CGFloat bottomOffset) {
    ZuzeDiv::removeAllFromSuperlayer(segmentLayers_);
    if (!layer || data().size() < 2 || !(max > 0 && min <= max)) return;

    const std::size_t n = data().size();
    const CGFloat w = layer->bounds().width(), h = layer->bounds().height();
    const CGFloat base = h - bottomOffset;
    const CGFloat step = w / static_cast<CGFloat>(n - 1);
    auto value = [&](std::size_t i) { return data()[i].value_or(min); };
    auto x = [&](std::size_t i) { return step * static_cast<CGFloat>(i); };
    auto y = [&](std::size_t i) {
        const CGFloat v = value(i);
        // Not a number, or a range of no height: the baseline.
        if (std::isnan(v) || max == min) return base;
        return base - ((v - min) / (max - min)) * base;
    };
    auto point = [&](std::size_t i) { return CGPoint{x(i), y(i)}; };
    auto range = [&](std::size_t i) { return BarDrawing::rangeHolding(colorRanges_, value(i)); };

    auto close = [&](NSBezierPath& path, std::size_t start, CGFloat end, const std::shared_ptr<ColorRange>& colour) {
        path.line({end, base});
        path.line({x(start), base});
        path.close();
        auto segment = CAShapeLayer::make();
        segment->setFillColor(colour && colour->color() ? std::optional<CGColor>(colour->color()->cgColor())
                                                        : std::nullopt);
        segment->setStrokeColor(std::nullopt);
        segment->setContentsScale(Constants::screenScale());
        segment->setPath(cgPath(path));
        layer->addSublayer(segment);
        segmentLayers_.push_back(segment);
    };

    std::size_t s = 0, i = 0;
    auto path = NSBezierPath::make();
    path->move(point(s));
    for (;;) {
        const bool last = i == n - 1;
        if (i > s) path->line(last ? CGPoint{w, y(i)} : point(i));
        if (last) {
            close(*path, s, i > s ? w : x(i), range(i));
            return;
        }
        const std::size_t j = i + 1;
        auto current = range(i), next = range(j);
        if (current && next && *current == *next) {
            i = j;
            continue;
        }
        path->line(point(j));
        close(*path, s, x(j), i == s ? next : current);
        s = i = j;
        path = NSBezierPath::make();
        path->move(point(s));
    }
}

}  // namespace ZododuvoZoz
