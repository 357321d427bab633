#include "CoreGraphics/CGPath.hpp"

#include <algorithm>

std::size_t CGPathElement::pointCount() const {
    switch (type) {
        case CGPathElementType::moveToPoint:
        case CGPathElementType::addLineToPoint: return 1;
        case CGPathElementType::addCurveToPoint: return 3;
        case CGPathElementType::closeSubpath: return 0;
    }
    return 0;
}

bool CGPathElement::operator==(const CGPathElement& other) const {
    if (type != other.type) return false;
    for (std::size_t i = 0; i < pointCount(); ++i) {
        if (points[i] != other.points[i]) return false;
    }
    return true;
}

std::optional<CGPoint> CGPath::currentPoint() const {
    if (elements_.empty()) return std::nullopt;
    const auto& last = elements_.back();
    if (last.type != CGPathElementType::closeSubpath) return last.endPoint();
    // After a close the pen is back at the subpath's first point.
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
        if (it->type == CGPathElementType::moveToPoint) return it->points[0];
    }
    return elements_.front().endPoint();
}

CGRect CGPath::boundingBox() const {
    CGRect box = CGRect::null();
    for (const auto& element : elements_) {
        for (std::size_t i = 0; i < element.pointCount(); ++i) {
            box = box.unionWith(CGRect{element.points[i], CGSize{}});
        }
    }
    return box;
}

void CGPath::apply(const std::function<void(const CGPathElement&)>& body) const {
    for (const auto& element : elements_) body(element);
}

CGPath CGPath::applying(const CGAffineTransform& transform) const {
    CGPath result = *this;
    for (auto& element : result.elements_) {
        for (std::size_t i = 0; i < element.pointCount(); ++i) element.points[i] = transform.apply(element.points[i]);
    }
    return result;
}

void CGMutablePath::move(CGPoint to) { elements_.push_back({CGPathElementType::moveToPoint, {to}}); }

void CGMutablePath::addLine(CGPoint to) { elements_.push_back({CGPathElementType::addLineToPoint, {to}}); }

void CGMutablePath::addCurve(CGPoint to, CGPoint control1, CGPoint control2) {
    elements_.push_back({CGPathElementType::addCurveToPoint, {control1, control2, to}});
}

void CGMutablePath::closeSubpath() { elements_.push_back({CGPathElementType::closeSubpath, {}}); }

void CGMutablePath::addRect(const CGRect& rect) {
    CGRect r = rect.standardized();
    move({r.minX(), r.minY()});
    addLine({r.maxX(), r.minY()});
    addLine({r.maxX(), r.maxY()});
    addLine({r.minX(), r.maxY()});
    closeSubpath();
}

void CGMutablePath::addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight) {
    CGRect r = rect.standardized();
    CGFloat rx = std::clamp<CGFloat>(cornerWidth, 0, r.width() / 2);
    CGFloat ry = std::clamp<CGFloat>(cornerHeight, 0, r.height() / 2);
    if (rx == 0 || ry == 0) {
        addRect(r);
        return;
    }
    // A quarter ellipse as one cubic curve: the control points sit this fraction of a radius out.
    constexpr CGFloat k = 0.5522847498307936;
    CGFloat x0 = r.minX(), x1 = r.maxX(), y0 = r.minY(), y1 = r.maxY();
    move({x0 + rx, y0});
    addLine({x1 - rx, y0});
    addCurve({x1, y0 + ry}, {x1 - rx + k * rx, y0}, {x1, y0 + ry - k * ry});
    addLine({x1, y1 - ry});
    addCurve({x1 - rx, y1}, {x1, y1 - ry + k * ry}, {x1 - rx + k * rx, y1});
    addLine({x0 + rx, y1});
    addCurve({x0, y1 - ry}, {x0 + rx - k * rx, y1}, {x0, y1 - ry + k * ry});
    addLine({x0, y0 + ry});
    addCurve({x0 + rx, y0}, {x0, y0 + ry - k * ry}, {x0 + rx - k * rx, y0});
    closeSubpath();
}

void CGMutablePath::addPath(const CGPath& path) {
    elements_.insert(elements_.end(), path.elements().begin(), path.elements().end());
}
