#pragma once
// A colour in device RGB: red, green, blue and alpha from 0 to 1, not premultiplied.
#include <array>

#include "CoreGraphics/CGGeometry.hpp"

struct CGColor {
    CGFloat red = 0;
    CGFloat green = 0;
    CGFloat blue = 0;
    CGFloat alpha = 1;

    static constexpr CGColor gray(CGFloat white, CGFloat alpha = 1) { return {white, white, white, alpha}; }
    static constexpr CGColor black() { return {0, 0, 0, 1}; }
    static constexpr CGColor white() { return {1, 1, 1, 1}; }
    static constexpr CGColor clear() { return {0, 0, 0, 0}; }

    std::array<CGFloat, 4> components() const { return {red, green, blue, alpha}; }
    CGColor copy(CGFloat withAlpha) const { return {red, green, blue, withAlpha}; }

    bool operator==(const CGColor&) const = default;
};
