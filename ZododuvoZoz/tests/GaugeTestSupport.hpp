#pragma once
// Measures arcs by geometry rather than by their elements, and resets the seams gauges read.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreGraphics/CGImage.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "RenderTestSupport.hpp"

struct Arc {
    CGPoint first, last;
    double sweep = 0;        // degrees, counter-clockwise positive
    double worstRadius = 0;  // largest distance of a sampled point from the expected radius
    int pieces = 0;          // curves
};

inline double angleOf(CGPoint p, CGPoint center) { return std::atan2(p.y - center.y, p.x - center.x) * 180 / M_PI; }

inline Arc measureArc(const CGPath& path, CGPoint center, double radius) {
    Arc arc;
    CGPoint previous{};
    bool started = false;
    for (const auto& e : path.elements()) {
        CGPoint end = e.endPoint();
        if (!started) {
            arc.first = end;
            started = true;
        }
        if (e.type == CGPathElementType::addCurveToPoint) {
            ++arc.pieces;
            CGPoint last = previous;
            for (int s = 1; s <= 16; ++s) {
                double t = s / 16.0, u = 1 - t;
                CGPoint q{u * u * u * previous.x + 3 * u * u * t * e.points[0].x + 3 * u * t * t * e.points[1].x + t * t * t * end.x,
                          u * u * u * previous.y + 3 * u * u * t * e.points[0].y + 3 * u * t * t * e.points[1].y + t * t * t * end.y};
                arc.worstRadius = std::max(arc.worstRadius, std::abs(std::hypot(q.x - center.x, q.y - center.y) - radius));
                arc.sweep += std::remainder(angleOf(q, center) - angleOf(last, center), 360.0);
                last = q;
            }
        }
        if (e.type != CGPathElementType::closeSubpath) {
            arc.worstRadius = std::max(arc.worstRadius, std::abs(std::hypot(end.x - center.x, end.y - center.y) - radius));
            previous = end;
            arc.last = end;
        }
    }
    return arc;
}

inline CGPoint onCircle(CGPoint center, double radius, double degrees) {
    return {center.x + radius * std::cos(degrees * M_PI / 180), center.y + radius * std::sin(degrees * M_PI / 180)};
}

inline bool near(CGPoint a, CGPoint b, double tolerance = 1e-6) { return std::hypot(a.x - b.x, a.y - b.y) < tolerance; }

class GaugeTest : public ::testing::Test {
protected:
    void TearDown() override { RenderTesting::resetScreenAndAppearance(); }
};

using Bytes = RenderTesting::Pixel;
using RenderTesting::colorOf;
using RenderTesting::opaque;
using RenderTesting::pixelAt;
using RenderTesting::pointsOf;

#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CALayer.hpp"
#include "Testing/TestEnvironment.hpp"

/// For views that animate: a virtual clock, and the seams gauges read reset afterwards.
class AnimatedViewTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        RenderTesting::resetScreenAndAppearance();
        VirtualTimeTest::TearDown();
    }
};

inline std::shared_ptr<const CABasicAnimation> basicAnimation(const CALayer& layer, const std::string& key) {
    return std::dynamic_pointer_cast<const CABasicAnimation>(layer.animation(key));
}

/// How many subpaths a path has.
inline int subpaths(const CGPath& path) {
    int count = 0;
    for (const auto& e : path.elements()) count += e.type == CGPathElementType::moveToPoint;
    return count;
}
