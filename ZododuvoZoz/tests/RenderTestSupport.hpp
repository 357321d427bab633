#pragma once
// What the module's tests read drawings with: colours by their 0 to 255 components, pixels of
// renders, the points of a path, and the seams a drawing reads put back after a test.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSScreen.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "CoreGraphics/CGPath.hpp"

namespace RenderTesting {

inline CGColor rgb(int red, int green, int blue, double alpha = 1) {
    return CGColor{red / 255.0, green / 255.0, blue / 255.0, alpha};
}

/// The colour resolved in the current drawing appearance.
inline CGColor colorOf(const std::shared_ptr<NSColor>& color) { return color->cgColor(); }

using Pixel = std::array<std::uint8_t, 4>;

/// A pixel of a render at one pixel per point, y up from the bottom.
inline Pixel pixelAt(const CGImage& image, double x, double y) {
    return image.pixel(std::size_t(x), image.height() - 1 - std::size_t(y));
}

inline Pixel opaque(int red, int green, int blue) {
    return {std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue), 255};
}

/// Whether two pixels differ by at most `tolerance` in each component.
inline bool near(const Pixel& a, const Pixel& b, int tolerance = 2) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) return false;
    }
    return true;
}

/// The end points of a path's elements, in order, leaving out the closings.
inline std::vector<CGPoint> pointsOf(const CGPath& path) {
    std::vector<CGPoint> points;
    for (const auto& e : path.elements()) {
        if (e.type != CGPathElementType::closeSubpath) points.push_back(e.endPoint());
    }
    return points;
}

/// Puts back the main screen and the application's appearance, which drawings read.
inline void resetScreenAndAppearance() {
    NSScreen::setMain(nullptr);
    NSApplication::shared().setAppearance(nullptr);
}

}  // namespace RenderTesting
