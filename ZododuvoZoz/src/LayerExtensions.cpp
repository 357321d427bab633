#include "ZododuvoZoz/LayerExtensions.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace ZododuvoZoz {

CGColor color(CALayer& layer, CGPoint point) {
    std::array<std::uint8_t, 4> pixel{};
    auto context = CGContext::makeBitmap(pixel.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB,
                                         CGBitmapInfo{CGImageAlphaInfo::premultipliedLast, false});
    context->translateBy(-point.x, -point.y);
    layer.render(*context);
    // The bitmap keeps colours premultiplied; hand back straight components, so that a marker
    // drawn with the colour matches a translucent line instead of a darker one.
    double alpha = pixel[3] / 255.0;
    auto straight = [&](std::uint8_t value) { return alpha > 0 ? std::min(1.0, value / 255.0 / alpha) : 0.0; };
    return CGColor{straight(pixel[0]), straight(pixel[1]), straight(pixel[2]), alpha};
}

}  // namespace ZododuvoZoz
