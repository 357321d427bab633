#pragma once
// Affine transforms of the plane: x' = a x + c y + tx, y' = b x + d y + ty.
#include <cmath>

#include "CoreGraphics/CGGeometry.hpp"

struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr CGAffineTransform identity() { return {}; }
    static CGAffineTransform translation(CGFloat x, CGFloat y) { return {1, 0, 0, 1, x, y}; }
    static CGAffineTransform scale(CGFloat sx, CGFloat sy) { return {sx, 0, 0, sy, 0, 0}; }
    /// Counter-clockwise by `angle` radians in y-up coordinates.
    static CGAffineTransform rotation(CGFloat angle) {
        return {std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 0, 0};
    }

    bool isIdentity() const { return *this == identity(); }

    /// This transform followed by `t`.
    CGAffineTransform concatenating(const CGAffineTransform& t) const {
        return {a * t.a + b * t.c,       a * t.b + b * t.d,       c * t.a + d * t.c,
                c * t.b + d * t.d,       tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
    }
    CGAffineTransform translatedBy(CGFloat x, CGFloat y) const { return translation(x, y).concatenating(*this); }
    CGAffineTransform scaledBy(CGFloat sx, CGFloat sy) const { return scale(sx, sy).concatenating(*this); }
    CGAffineTransform rotated(CGFloat angle) const { return rotation(angle).concatenating(*this); }
    CGAffineTransform inverted() const {
        CGFloat det = a * d - b * c;
        if (det == 0) return *this;
        return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    }

    CGPoint apply(CGPoint p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    CGSize apply(CGSize s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    /// The smallest rectangle holding the transformed corners of `r` (null stays null).
    CGRect apply(const CGRect& r) const {
        if (r.isNull()) return r;
        CGRect box = CGRect::null();
        for (CGPoint corner : {CGPoint{r.minX(), r.minY()}, CGPoint{r.maxX(), r.minY()}, CGPoint{r.minX(), r.maxY()},
                               CGPoint{r.maxX(), r.maxY()}}) {
            CGPoint p = apply(corner);
            box = box.unionWith(CGRect{p.x, p.y, 0, 0});
        }
        return box;
    }

    bool operator==(const CGAffineTransform&) const = default;
};
