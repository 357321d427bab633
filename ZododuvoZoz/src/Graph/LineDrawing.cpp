#include "LineDrawing.hpp"

#include <cmath>

#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/LayerExtensions.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"

namespace ZododuvoZoz::LineDrawing {

std::vector<std::shared_ptr<NSColor>> defaultColors() { return {Colors::teal(), Colors::cyan()}; }

std::vector<std::shared_ptr<NSColor>> defaultFillColors() {
    return {Colors::teal()->withAlphaComponent(0.6), Colors::cyan()->withAlphaComponent(0.25)};
}

CGFloat yPosition(std::optional<CGFloat> value, CGFloat min, CGFloat max, CGFloat height, CGFloat bottomOffset,
                  CGFloat lineWidth, CGFloat notANumberLift) {
    const CGFloat h = height - bottomOffset - lineWidth;
    if (!value) return h;
    if (std::isnan(*value)) return h - notANumberLift;
    if (max == min) return h;
    return h - ((*value - min) / (max - min)) * h;
}

DataSeries thinned(const DataSeries& data, CGFloat width, CGFloat minimumDistance) {
    const CGFloat room = width / minimumDistance;
    if (room >= static_cast<CGFloat>(data.size())) return data;  // also an infinite room
    if (!(room >= 1)) return {};                                 // no room, or not a number
    const auto n = static_cast<std::size_t>(room);
    const std::size_t step = data.size() / n;
    DataSeries kept;
    kept.reserve(n);
    for (std::size_t i = 0; i < n; ++i) kept.push_back(data[i * step]);
    return kept;
}

namespace {
std::shared_ptr<CAShapeLayer> discLayer(CALayer& host) {
    auto layer = CAShapeLayer::make();
    layer->setFrame(host.bounds());
    layer->setContentsScale(Constants::screenScale());
    layer->setStrokeColor(std::nullopt);
    return layer;
}
}  // namespace

std::shared_ptr<CAShapeLayer> joinMarker(CALayer& host, GradientLayer& stroke, CGPoint point, CGFloat radius) {
    auto marker = discLayer(host);
    marker->setFillColor(color(*stroke.gradientLayer(), point));
    NSBezierPath path;
    path.move(point);
    path.appendArc(point, radius, 0, 360);
    marker->setPath(cgPath(path));
    host.addSublayer(marker);
    return marker;
}

std::shared_ptr<CAShapeLayer> highlightDisc(CALayer& host, const std::shared_ptr<NSColor>& color, CGFloat radius,
                                            CGPoint point) {
    auto disc = discLayer(host);
    disc->setFillColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
    disc->setPath(cgPath(*NSBezierPath::ovalIn({point.x - radius, point.y - radius, 2 * radius, 2 * radius})));
    host.addSublayer(disc);
    return disc;
}

namespace {
void addQuadratic(NSBezierPath& path, CGPoint start, CGPoint control, CGPoint end) {
    path.curve(end, {start.x + 2.0 / 3.0 * (control.x - start.x), start.y + 2.0 / 3.0 * (control.y - start.y)},
               {end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)});
}
}  // namespace

void addCurveStep(NSBezierPath& path, CGPoint to) {
    const CGPoint from = path.currentPoint().value_or(to);
    const CGPoint mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
    CGPoint first{(from.x + mid.x) / 2, from.y};
    CGPoint second{(mid.x + to.x) / 2, to.y};
    if (first.y < 0) first.y = 0;
    if (second.y < 0) second.y = 0;
    addQuadratic(path, from, first, mid);
    addQuadratic(path, mid, second, to);
}

void closeToBottom(NSBezierPath& path, CGFloat width, CGFloat lineWidth, CGFloat bottom) {
    path.line({width + lineWidth, bottom});
    path.line({-lineWidth, bottom});
    path.close();
}

}  // namespace ZododuvoZoz::LineDrawing
