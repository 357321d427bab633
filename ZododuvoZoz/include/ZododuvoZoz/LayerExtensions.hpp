#pragma once
// Reading the colour of a layer at a point.
#include "CoreGraphics/CGColor.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZododuvoZoz {

/// The layer rendered into a single pixel whose lower-left corner is the point (layer
/// coordinates); the components are as stored, premultiplied by alpha.
CGColor color(CALayer& layer, CGPoint point);

}  // namespace ZododuvoZoz
