#include "QuartzCore/CAMediaTimingFunction.hpp"

#include <algorithm>
#include <cmath>

CAMediaTimingFunction::CAMediaTimingFunction(CAMediaTimingFunctionName name) {
    switch (name) {
        case CAMediaTimingFunctionName::linear: points_ = {0, 0, 1, 1}; break;
        case CAMediaTimingFunctionName::easeIn: points_ = {0.42f, 0, 1, 1}; break;
        case CAMediaTimingFunctionName::easeOut: points_ = {0, 0, 0.58f, 1}; break;
        case CAMediaTimingFunctionName::easeInEaseOut: points_ = {0.42f, 0, 0.58f, 1}; break;
        case CAMediaTimingFunctionName::defaultTiming: points_ = {0.25f, 0.1f, 0.25f, 1}; break;
    }
}

std::array<float, 2> CAMediaTimingFunction::controlPoint(int index) const {
    switch (index) {
        case 1: return {points_[0], points_[1]};
        case 2: return {points_[2], points_[3]};
        case 3: return {1, 1};
        default: return {0, 0};
    }
}

double CAMediaTimingFunction::valueAt(double progress) const {
    double x = std::clamp(progress, 0.0, 1.0);
    if (x == 0 || x == 1) return x;
    // The curve's x and y for a parameter s: B(s) = 3(1-s)²s·p1 + 3(1-s)s²·p2 + s³.
    auto bezier = [](double s, double p1, double p2) {
        double u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    // x grows with s for control points within 0...1, so halving the interval finds s.
    double low = 0, high = 1, s = x;
    for (int i = 0; i < 60; ++i) {
        s = (low + high) / 2;
        double at = bezier(s, points_[0], points_[2]);
        if (std::abs(at - x) < 1e-12) break;
        (at < x ? low : high) = s;
    }
    return bezier(s, points_[1], points_[3]);
}
