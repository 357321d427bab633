#pragma once
// Points, sizes and rectangles in points; y grows upwards unless a view says it is flipped.
#include <algorithm>
#include <cmath>
#include <limits>

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;

    static constexpr CGPoint zero() { return {}; }
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;

    static constexpr CGSize zero() { return {}; }
    bool operator==(const CGSize&) const = default;
};

struct CGVector {
    CGFloat dx = 0;
    CGFloat dy = 0;
    bool operator==(const CGVector&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;

    constexpr CGRect() = default;
    constexpr CGRect(CGPoint origin, CGSize size) : origin(origin), size(size) {}
    constexpr CGRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height) : origin{x, y}, size{width, height} {}

    static constexpr CGRect zero() { return {}; }
    static CGRect null() {
        constexpr auto inf = std::numeric_limits<CGFloat>::infinity();
        return {inf, inf, 0, 0};
    }

    CGFloat minX() const { return std::min(origin.x, origin.x + size.width); }
    CGFloat maxX() const { return std::max(origin.x, origin.x + size.width); }
    CGFloat midX() const { return origin.x + size.width / 2; }
    CGFloat minY() const { return std::min(origin.y, origin.y + size.height); }
    CGFloat maxY() const { return std::max(origin.y, origin.y + size.height); }
    CGFloat midY() const { return origin.y + size.height / 2; }
    CGFloat width() const { return std::abs(size.width); }
    CGFloat height() const { return std::abs(size.height); }
    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    /// The same rectangle with a positive width and height.
    CGRect standardized() const { return {minX(), minY(), width(), height()}; }
    CGRect insetBy(CGFloat dx, CGFloat dy) const {
        CGRect r = standardized();
        r.origin.x += dx;
        r.origin.y += dy;
        r.size.width -= 2 * dx;
        r.size.height -= 2 * dy;
        if (r.size.width < 0 || r.size.height < 0) return null();
        return r;
    }
    CGRect offsetBy(CGFloat dx, CGFloat dy) const { return {origin.x + dx, origin.y + dy, size.width, size.height}; }
    bool contains(CGPoint p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    bool contains(const CGRect& r) const {
        return !r.isNull() && r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
    }
    CGRect intersection(const CGRect& other) const {
        if (isNull() || other.isNull()) return null();
        CGFloat x0 = std::max(minX(), other.minX()), x1 = std::min(maxX(), other.maxX());
        CGFloat y0 = std::max(minY(), other.minY()), y1 = std::min(maxY(), other.maxY());
        if (x1 < x0 || y1 < y0) return null();
        return {x0, y0, x1 - x0, y1 - y0};
    }
    bool intersects(const CGRect& other) const {
        auto r = intersection(other);
        return !r.isNull() && !r.isEmpty();
    }
    CGRect unionWith(const CGRect& other) const {
        if (isNull()) return other;
        if (other.isNull()) return *this;
        CGFloat x0 = std::min(minX(), other.minX()), x1 = std::max(maxX(), other.maxX());
        CGFloat y0 = std::min(minY(), other.minY()), y1 = std::max(maxY(), other.maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }
    CGRect integral() const {
        if (isNull()) return *this;
        CGFloat x0 = std::floor(minX()), y0 = std::floor(minY());
        return {x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0};
    }

    bool operator==(const CGRect&) const = default;
};

using NSPoint = CGPoint;
using NSSize = CGSize;
using NSRect = CGRect;

inline CGRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {x, y, w, h}; }
