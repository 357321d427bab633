#pragma once
// AppKit's paths: elements of four kinds (move, line, cubic curve, close) with their own line
// settings, filled, stroked or clipped into the current graphics context. Arcs, ovals and rounded
// corners are stored as cubic curves of at most 90 degrees each. Angles are in degrees,
// counter-clockwise from +x where y grows upwards.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGGeometry.hpp"

enum class NSBezierPathElement { moveTo, lineTo, curveTo, closePath };
enum class NSLineCapStyle { butt, round, square };
enum class NSLineJoinStyle { miter, round, bevel };
enum class NSWindingRule { nonZero, evenOdd };

class NSBezierPath {
public:
    static std::shared_ptr<NSBezierPath> make() { return std::make_shared<NSBezierPath>(); }
    /// A move to the rectangle's origin corner, three lines and a close.
    static std::shared_ptr<NSBezierPath> rect(const CGRect& rect);
    static std::shared_ptr<NSBezierPath> ovalIn(const CGRect& rect);
    /// Radii are limited to half the rectangle's width and height.
    static std::shared_ptr<NSBezierPath> roundedRect(const CGRect& rect, CGFloat xRadius, CGFloat yRadius);

    void move(CGPoint to);
    void line(CGPoint to);
    void curve(CGPoint to, CGPoint controlPoint1, CGPoint controlPoint2);
    void close();
    /// An arc of the circle around `center`; it begins with a move when the path is empty and with
    /// a line to its start otherwise. Clockwise arcs run towards smaller angles; the sweep is less
    /// than a full turn except that from an angle to the same angle plus (or minus, clockwise)
    /// 360 it is a whole circle, and equal angles give no arc at all.
    void appendArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise = false);
    void appendRect(const CGRect& rect);
    void appendOval(const CGRect& rect);
    void appendRoundedRect(const CGRect& rect, CGFloat xRadius, CGFloat yRadius);
    void append(const NSBezierPath& path);
    void transform(const CGAffineTransform& transform);

    std::size_t elementCount() const { return elements_.size(); }
    /// The kind of an element and, in `points`, its associated points: the end point for a move
    /// or line; control point 1, control point 2 and the end point for a curve.
    NSBezierPathElement element(std::size_t index, std::array<CGPoint, 3>* points = nullptr) const;
    bool isEmpty() const { return elements_.empty(); }
    std::optional<CGPoint> currentPoint() const;
    /// The rectangle around all points, control points included.
    CGRect controlPointBounds() const;

    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    NSLineCapStyle lineCapStyle() const { return lineCap_; }
    void setLineCapStyle(NSLineCapStyle style) { lineCap_ = style; }
    NSLineJoinStyle lineJoinStyle() const { return lineJoin_; }
    void setLineJoinStyle(NSLineJoinStyle style) { lineJoin_ = style; }
    CGFloat miterLimit() const { return miterLimit_; }
    void setMiterLimit(CGFloat limit) { miterLimit_ = limit; }
    NSWindingRule windingRule() const { return windingRule_; }
    void setWindingRule(NSWindingRule rule) { windingRule_ = rule; }
    void setLineDash(const std::vector<CGFloat>& pattern, CGFloat phase);

    /// Fill and stroke use the current context's fill and stroke colours.
    void fill() const;
    void stroke() const;
    /// Narrows the current context's clip to the path's inside.
    void addClip() const;

private:
    struct Element {
        NSBezierPathElement kind;
        std::array<CGPoint, 3> points;
    };
    void addToContext() const;

    std::vector<Element> elements_;
    CGFloat lineWidth_ = 1;
    NSLineCapStyle lineCap_ = NSLineCapStyle::butt;
    NSLineJoinStyle lineJoin_ = NSLineJoinStyle::miter;
    CGFloat miterLimit_ = 10;
    NSWindingRule windingRule_ = NSWindingRule::nonZero;
    std::vector<CGFloat> dashPattern_;
    CGFloat dashPhase_ = 0;
};
