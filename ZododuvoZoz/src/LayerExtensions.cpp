#include "ZododuvoZoz/LayerExtensions.hpp"

#include "ZuzeDiv/LayerExtensions.hpp"

namespace ZododuvoZoz {

CGColor color(CALayer& layer, CGPoint point) { return ZuzeDiv::pixelColor(layer, point)->cgColor(); }

}  // namespace ZododuvoZoz
