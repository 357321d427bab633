#pragma once
// Rounding to a multiple of a step.
#include "ZuzeDiv/NumberExtensions.hpp"

namespace ZuzeDiv {

class Math {
public:
    Math() = delete;

    /// (value ÷ step) rounded by the rule, times step. A step of 0 gives what the division gives.
    static double round(double value, double toNearest, FloatingPointRoundingRule rule);
    static double floor(double value, double toNearest) { return round(value, toNearest, FloatingPointRoundingRule::down); }
    static double ceil(double value, double toNearest) { return round(value, toNearest, FloatingPointRoundingRule::up); }
};

}  // namespace ZuzeDiv
