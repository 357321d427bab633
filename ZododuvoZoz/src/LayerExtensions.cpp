#include "ZododuvoZoz/LayerExtensions.hpp"

#include <array>
#include <cstdint>

namespace ZododuvoZoz {

CGColor color(CALayer& layer, CGPoint point) {
    std::array<std::uint8_t, 4> pixel{};
    auto context = CGContext::makeBitmap(pixel.data(), 1, 1, 8, 4, CGColorSpace::deviceRGB,
                                         CGBitmapInfo{CGImageAlphaInfo::premultipliedLast, false});
    context->translateBy(-point.x, -point.y);
    layer.render(*context);
    return CGColor{pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0, pixel[3] / 255.0};
}

}  // namespace ZododuvoZoz
