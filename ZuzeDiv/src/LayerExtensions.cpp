#include "ZuzeDiv/LayerExtensions.hpp"

#include <array>
#include <cmath>
#include <cstdint>

#include "CoreGraphics/CGContext.hpp"

namespace ZuzeDiv {

std::shared_ptr<NSImage> snapshot(CALayer& layer) {
    CGRect frame = layer.frame();
    if (!std::isfinite(frame.size.width) || !std::isfinite(frame.size.height)) return nullptr;
    auto width = static_cast<std::size_t>(std::max(0.0, std::trunc(frame.size.width)));
    auto height = static_cast<std::size_t>(std::max(0.0, std::trunc(frame.size.height)));
    auto context = CGContext::makeBitmap(nullptr, width, height, 8, 0, CGColorSpace::deviceRGB,
                                         CGBitmapInfo{CGImageAlphaInfo::premultipliedLast, false});
    if (!context) return nullptr;
    layer.render(*context);
    return NSImage::fromCGImage(context->makeImage(), frame.size);
}

std::shared_ptr<NSColor> pixelColor(CALayer& layer, CGPoint point) {
    std::array<std::uint8_t, 4> pixel{};
    auto context = CGContext::makeBitmap(pixel.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB,
                                         CGBitmapInfo{CGImageAlphaInfo::premultipliedLast, false});
    context->translateBy(-point.x, -point.y);
    layer.render(*context);
    double alpha = pixel[3] / 255.0;
    // The bitmap keeps colours premultiplied; a half-transparent red is red at half opacity, not a
    // darker red.
    auto straight = [&](std::uint8_t value) { return alpha > 0 ? std::min(1.0, value / 255.0 / alpha) : 0.0; };
    return NSColor::make(straight(pixel[0]), straight(pixel[1]), straight(pixel[2]), alpha);
}

}  // namespace ZuzeDiv
