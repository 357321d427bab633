#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKitTestSupport.hpp"

namespace {
struct ArcShape {
    CGPoint first, last;
    double sweep = 0;         // degrees, counter-clockwise positive
    double worstRadius = 0;   // the on-curve point farthest from the expected radius
    double largestPiece = 0;  // degrees
    std::size_t moves = 0, lines = 0, curves = 0;
};

// Walks the path's curves and measures them against a circle.
ArcShape measure(const NSBezierPath& path, CGPoint center, double radius) {
    ArcShape shape;
    std::array<CGPoint, 3> p{};
    CGPoint previous{};
    auto angle = [&](CGPoint q) { return std::atan2(q.y - center.y, q.x - center.x) * 180 / M_PI; };
    for (std::size_t i = 0; i < path.elementCount(); ++i) {
        auto kind = path.element(i, &p);
        CGPoint end = kind == NSBezierPathElement::curveTo ? p[2] : p[0];
        if (i == 0) shape.first = end;
        if (kind == NSBezierPathElement::moveTo) ++shape.moves;
        if (kind == NSBezierPathElement::lineTo) ++shape.lines;
        if (kind == NSBezierPathElement::curveTo) {
            ++shape.curves;
            // Sample the cubic and sum the angle it turns through.
            double turned = 0;
            CGPoint last = previous;
            for (int s = 1; s <= 16; ++s) {
                double t = s / 16.0, u = 1 - t;
                CGPoint q{u * u * u * previous.x + 3 * u * u * t * p[0].x + 3 * u * t * t * p[1].x + t * t * t * p[2].x,
                          u * u * u * previous.y + 3 * u * u * t * p[0].y + 3 * u * t * t * p[1].y + t * t * t * p[2].y};
                shape.worstRadius = std::max(shape.worstRadius, std::abs(std::hypot(q.x - center.x, q.y - center.y) - radius));
                double step = angle(q) - angle(last);
                step = std::remainder(step, 360.0);
                turned += step;
                last = q;
            }
            shape.sweep += turned;
            shape.largestPiece = std::max(shape.largestPiece, std::abs(turned));
        }
        if (kind != NSBezierPathElement::closePath) previous = end;
        shape.last = end;
    }
    return shape;
}

bool near(CGPoint a, CGPoint b) { return std::hypot(a.x - b.x, a.y - b.y) < 1e-6; }
}  // namespace

TEST(NSBezierPath, ArcsSweepTheWayTheirDirectionSays) {
    struct Case {
        double start, end;
        bool clockwise;
        double sweep;
    };
    for (const Case& c : {Case{225, 90, true, -135}, Case{0, 315, true, -45}, Case{90, 90.000001, true, -360},
                          Case{-45, -135, false, 270}, Case{0, 360, false, 360}, Case{10, 380, false, 10},
                          Case{0, -360, true, -360}, Case{30, 60, true, -330}}) {
        NSBezierPath path;
        path.appendArc({50, 50}, 38, c.start, c.end, c.clockwise);
        ArcShape shape = measure(path, {50, 50}, 38);
        EXPECT_NEAR(shape.sweep, c.sweep, 1e-3) << c.start << " to " << c.end;
        EXPECT_LE(shape.largestPiece, 90 + 1e-9);
        EXPECT_LT(shape.worstRadius, 0.05);
        EXPECT_EQ(shape.moves, 1u);
        EXPECT_TRUE(near(shape.first, {50 + 38 * std::cos(c.start * M_PI / 180), 50 + 38 * std::sin(c.start * M_PI / 180)}));
    }
}

TEST(NSBezierPath, AnEmptyArcIsItsStartAndALaterArcIsJoinedByALine) {
    NSBezierPath path;
    path.appendArc({0, 0}, 10, 225, 225, true);
    ASSERT_EQ(path.elementCount(), 1u);
    std::array<CGPoint, 3> p{};
    EXPECT_EQ(path.element(0, &p), NSBezierPathElement::moveTo);

    path.appendArc({0, 0}, 10, 0, 90);
    EXPECT_EQ(path.element(1, &p), NSBezierPathElement::lineTo);
    EXPECT_TRUE(near(p[0], {10, 0}));
    EXPECT_EQ(path.element(2, &p), NSBezierPathElement::curveTo);
    EXPECT_TRUE(near(p[2], {0, 10}));
    EXPECT_TRUE(near(*path.currentPoint(), {0, 10}));
}

TEST(NSBezierPath, RectanglesOvalsAndRoundedRectangles) {
    auto rect = NSBezierPath::rect({1, 2, 3, 4});
    std::array<CGPoint, 3> p{};
    EXPECT_EQ(rect->elementCount(), 5u);
    rect->element(0, &p);
    EXPECT_EQ(p[0], (CGPoint{1, 2}));
    EXPECT_EQ(rect->element(4), NSBezierPathElement::closePath);

    auto oval = NSBezierPath::ovalIn({0, 0, 20, 10});
    EXPECT_EQ(oval->controlPointBounds(), (CGRect{0, 0, 20, 10}));

    auto rounded = NSBezierPath::roundedRect({0, 0, 20, 10}, 30, 30);  // radii clamped to 10 and 5
    EXPECT_EQ(rounded->controlPointBounds(), (CGRect{0, 0, 20, 10}));
    rounded->element(0, &p);
    EXPECT_EQ(p[0], (CGPoint{10, 0}));
    rounded->element(1, &p);
    EXPECT_EQ(p[0], (CGPoint{10, 0}));  // the straight part of the bottom edge has no length
}

TEST(NSBezierPath, FillsAndStrokesIntoTheCurrentContext) {
    auto context = CGContext::makeBitmap(nullptr, 20, 20, 8, 0, CGColorSpace::deviceRGB, {});
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrent(NSGraphicsContext::make(context));
    NSColor::make(1, 0, 0)->setFill();
    NSColor::make(0, 0, 1)->setStroke();
    auto path = NSBezierPath::rect({5, 5, 10, 10});
    path->fill();
    path->setLineWidth(2);
    path->stroke();
    NSGraphicsContext::restoreGraphicsState();
    EXPECT_FALSE(NSGraphicsContext::current());

    auto image = context->makeImage();
    EXPECT_EQ(pixelAt(*image, 10, 10), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 5, 10), (Bytes{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(*image, 2, 2)[3], 0);
    EXPECT_EQ(context->lineWidth(), 1);  // the path's width was the stroke's only
}
