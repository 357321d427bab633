#pragma once
// The pace of an animation: a cubic Bézier from (0, 0) to (1, 1) through two control points.
#include <array>

enum class CAMediaTimingFunctionName { linear, easeIn, easeOut, easeInEaseOut, defaultTiming };

class CAMediaTimingFunction {
public:
    explicit CAMediaTimingFunction(CAMediaTimingFunctionName name);
    CAMediaTimingFunction(float x1, float y1, float x2, float y2) : points_{x1, y1, x2, y2} {}

    /// Control point 1 or 2 as (x, y); 0 and 3 are the fixed end points.
    std::array<float, 2> controlPoint(int index) const;
    /// How far along the value is (the curve's y) when `progress` of the time has passed (its x,
    /// taken within 0...1).
    double valueAt(double progress) const;
    bool operator==(const CAMediaTimingFunction&) const = default;

private:
    std::array<float, 4> points_;
};
