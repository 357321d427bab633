#pragma once
// Reading the colour of a layer at a point.
#include "CoreGraphics/CGColor.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZododuvoZoz {

/// The layer rendered into a single pixel whose lower-left corner is the point (layer
/// coordinates). The pixel is stored premultiplied; the colour handed back has straight components
/// with that alpha, so that it can be used again as a colour (half-transparent red reads as red at
/// alpha 0.5, not as a darker red).
CGColor color(CALayer& layer, CGPoint point);

}  // namespace ZododuvoZoz
