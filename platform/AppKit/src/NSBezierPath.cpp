#include "AppKit/NSBezierPath.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "AppKit/NSGraphicsContext.hpp"
#include "CoreGraphics/CGPath.hpp"

namespace {
constexpr CGFloat kappa = 0.5522847498307936;  // a quarter circle's control arm, per unit radius

CGFloat radians(CGFloat degrees) { return degrees * std::numbers::pi / 180.0; }
}  // namespace

std::shared_ptr<NSBezierPath> NSBezierPath::rect(const CGRect& rect) {
    auto path = make();
    path->appendRect(rect);
    return path;
}

std::shared_ptr<NSBezierPath> NSBezierPath::ovalIn(const CGRect& rect) {
    auto path = make();
    path->appendOval(rect);
    return path;
}

std::shared_ptr<NSBezierPath> NSBezierPath::roundedRect(const CGRect& rect, CGFloat xRadius, CGFloat yRadius) {
    auto path = make();
    path->appendRoundedRect(rect, xRadius, yRadius);
    return path;
}

void NSBezierPath::move(CGPoint to) { elements_.push_back({NSBezierPathElement::moveTo, {to}}); }

void NSBezierPath::line(CGPoint to) { elements_.push_back({NSBezierPathElement::lineTo, {to}}); }

void NSBezierPath::curve(CGPoint to, CGPoint controlPoint1, CGPoint controlPoint2) {
    elements_.push_back({NSBezierPathElement::curveTo, {controlPoint1, controlPoint2, to}});
}

void NSBezierPath::close() { elements_.push_back({NSBezierPathElement::closePath, {}}); }

void NSBezierPath::appendArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    CGFloat sweep = endAngle - startAngle;
    if (clockwise) {
        while (sweep > 0) sweep -= 360;
        while (sweep < -360) sweep += 360;
    } else {
        while (sweep < 0) sweep += 360;
        while (sweep > 360) sweep -= 360;
    }
    auto pointAt = [&](CGFloat degrees) {
        CGFloat a = radians(degrees);
        return CGPoint{center.x + radius * std::cos(a), center.y + radius * std::sin(a)};
    };
    CGPoint start = pointAt(startAngle);
    if (elements_.empty()) {
        move(start);
    } else {
        line(start);
    }
    if (sweep == 0 || !std::isfinite(sweep)) return;
    int pieces = static_cast<int>(std::ceil(std::abs(sweep) / 90.0 - 1e-9));
    CGFloat step = sweep / pieces;
    // Each piece is a cubic curve whose control arms are tangent to the circle at both ends.
    CGFloat arm = 4.0 / 3.0 * std::tan(radians(step) / 4.0) * radius;
    for (int i = 0; i < pieces; ++i) {
        CGFloat a0 = startAngle + step * i, a1 = startAngle + step * (i + 1);
        CGPoint p0 = pointAt(a0), p1 = pointAt(a1);
        CGFloat r0 = radians(a0), r1 = radians(a1);
        CGPoint c1{p0.x - arm * std::sin(r0), p0.y + arm * std::cos(r0)};
        CGPoint c2{p1.x + arm * std::sin(r1), p1.y - arm * std::cos(r1)};
        curve(p1, c1, c2);
    }
}

void NSBezierPath::appendRect(const CGRect& rect) {
    CGRect r = rect.standardized();
    move({r.minX(), r.minY()});
    line({r.maxX(), r.minY()});
    line({r.maxX(), r.maxY()});
    line({r.minX(), r.maxY()});
    close();
}

void NSBezierPath::appendOval(const CGRect& rect) {
    CGRect r = rect.standardized();
    CGFloat rx = r.width() / 2, ry = r.height() / 2, cx = r.midX(), cy = r.midY();
    move({r.maxX(), cy});
    curve({cx, r.maxY()}, {r.maxX(), cy + kappa * ry}, {cx + kappa * rx, r.maxY()});
    curve({r.minX(), cy}, {cx - kappa * rx, r.maxY()}, {r.minX(), cy + kappa * ry});
    curve({cx, r.minY()}, {r.minX(), cy - kappa * ry}, {cx - kappa * rx, r.minY()});
    curve({r.maxX(), cy}, {cx + kappa * rx, r.minY()}, {r.maxX(), cy - kappa * ry});
    close();
}

void NSBezierPath::appendRoundedRect(const CGRect& rect, CGFloat xRadius, CGFloat yRadius) {
    CGRect r = rect.standardized();
    CGFloat rx = std::clamp<CGFloat>(xRadius, 0, r.width() / 2), ry = std::clamp<CGFloat>(yRadius, 0, r.height() / 2);
    if (rx == 0 || ry == 0) {
        appendRect(r);
        return;
    }
    CGFloat x0 = r.minX(), x1 = r.maxX(), y0 = r.minY(), y1 = r.maxY();
    move({x0 + rx, y0});
    line({x1 - rx, y0});
    curve({x1, y0 + ry}, {x1 - rx + kappa * rx, y0}, {x1, y0 + ry - kappa * ry});
    line({x1, y1 - ry});
    curve({x1 - rx, y1}, {x1, y1 - ry + kappa * ry}, {x1 - rx + kappa * rx, y1});
    line({x0 + rx, y1});
    curve({x0, y1 - ry}, {x0 + rx - kappa * rx, y1}, {x0, y1 - ry + kappa * ry});
    line({x0, y0 + ry});
    curve({x0 + rx, y0}, {x0, y0 + ry - kappa * ry}, {x0 + rx - kappa * rx, y0});
    close();
}

void NSBezierPath::append(const NSBezierPath& path) {
    auto copy = path.elements_;  // the path may be this one
    elements_.insert(elements_.end(), copy.begin(), copy.end());
}

void NSBezierPath::transform(const CGAffineTransform& transform) {
    for (auto& e : elements_) {
        for (auto& p : e.points) p = transform.apply(p);
    }
}

NSBezierPathElement NSBezierPath::element(std::size_t index, std::array<CGPoint, 3>* points) const {
    const Element& e = elements_.at(index);
    if (points) *points = e.points;
    return e.kind;
}

std::optional<CGPoint> NSBezierPath::currentPoint() const {
    if (elements_.empty()) return std::nullopt;
    const Element& last = elements_.back();
    if (last.kind == NSBezierPathElement::curveTo) return last.points[2];
    if (last.kind != NSBezierPathElement::closePath) return last.points[0];
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
        if (it->kind == NSBezierPathElement::moveTo) return it->points[0];
    }
    return std::nullopt;
}

CGRect NSBezierPath::controlPointBounds() const {
    CGRect box = CGRect::null();
    for (const auto& e : elements_) {
        std::size_t count = e.kind == NSBezierPathElement::curveTo ? 3 : e.kind == NSBezierPathElement::closePath ? 0 : 1;
        for (std::size_t i = 0; i < count; ++i) box = box.unionWith(CGRect{e.points[i], CGSize{}});
    }
    return box.isNull() ? CGRect::zero() : box;
}

void NSBezierPath::setLineDash(const std::vector<CGFloat>& pattern, CGFloat phase) {
    dashPattern_ = pattern;
    dashPhase_ = phase;
}

void NSBezierPath::addToContext() const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    CGMutablePath path;
    for (const auto& e : elements_) {
        switch (e.kind) {
            case NSBezierPathElement::moveTo: path.move(e.points[0]); break;
            case NSBezierPathElement::lineTo: path.addLine(e.points[0]); break;
            case NSBezierPathElement::curveTo: path.addCurve(e.points[2], e.points[0], e.points[1]); break;
            case NSBezierPathElement::closePath: path.closeSubpath(); break;
        }
    }
    context->cgContext()->beginPath();
    context->cgContext()->addPath(path);
}

void NSBezierPath::fill() const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    addToContext();
    context->cgContext()->fillPath(windingRule_ == NSWindingRule::evenOdd ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
}

void NSBezierPath::stroke() const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    auto& cg = *context->cgContext();
    cg.saveGState();
    cg.setLineWidth(lineWidth_);
    cg.setLineCap(lineCap_ == NSLineCapStyle::round    ? CGLineCap::round
                  : lineCap_ == NSLineCapStyle::square ? CGLineCap::square
                                                       : CGLineCap::butt);
    cg.setLineJoin(lineJoin_ == NSLineJoinStyle::round   ? CGLineJoin::round
                   : lineJoin_ == NSLineJoinStyle::bevel ? CGLineJoin::bevel
                                                         : CGLineJoin::miter);
    cg.setMiterLimit(miterLimit_);
    cg.setLineDash(dashPhase_, dashPattern_);
    addToContext();
    cg.strokePath();
    cg.restoreGState();
}

void NSBezierPath::addClip() const {
    auto context = NSGraphicsContext::current();
    if (!context) return;
    addToContext();
    context->cgContext()->clip(windingRule_ == NSWindingRule::evenOdd ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
}
