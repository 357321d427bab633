#pragma once
// Paths as lists of elements (move, line, cubic curve, close) that can be walked and compared.
// CGPath reads a path; CGMutablePath builds one.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGGeometry.hpp"

enum class CGPathElementType { moveToPoint, addLineToPoint, addCurveToPoint, closeSubpath };

struct CGPathElement {
    CGPathElementType type = CGPathElementType::moveToPoint;
    /// The associated points: the end point for a move or line; control 1, control 2 and the end
    /// point for a curve; none for a close.
    std::array<CGPoint, 3> points{};

    std::size_t pointCount() const;
    /// The point the element ends at (the start of the subpath for a close is not known here).
    CGPoint endPoint() const { return points[pointCount() == 3 ? 2 : 0]; }
    bool operator==(const CGPathElement& other) const;
};

class CGPath {
public:
    CGPath() = default;

    const std::vector<CGPathElement>& elements() const { return elements_; }
    bool isEmpty() const { return elements_.empty(); }
    /// Where the next element would start: the last end point, or the start of the subpath after a
    /// close; nothing for an empty path.
    std::optional<CGPoint> currentPoint() const;
    /// The smallest rectangle holding every point of the path, control points included; the null
    /// rectangle for an empty path.
    CGRect boundingBox() const;
    void apply(const std::function<void(const CGPathElement&)>& body) const;
    /// The same path with every point transformed.
    CGPath applying(const CGAffineTransform& transform) const;

    bool operator==(const CGPath&) const = default;

protected:
    std::vector<CGPathElement> elements_;
};

class CGMutablePath : public CGPath {
public:
    CGMutablePath() = default;
    explicit CGMutablePath(const CGPath& path) : CGPath(path) {}

    void move(CGPoint to);
    void addLine(CGPoint to);
    void addCurve(CGPoint to, CGPoint control1, CGPoint control2);
    void closeSubpath();
    /// A closed subpath around the rectangle: its origin corner, then counter-clockwise (y up).
    void addRect(const CGRect& rect);
    /// A closed rectangle with elliptical corners; the corner sizes are limited to half the sides.
    void addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight);
    void addPath(const CGPath& path);
};
