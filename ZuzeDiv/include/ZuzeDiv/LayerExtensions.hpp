#pragma once
// Pictures of layers.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZuzeDiv {

/// An image of the layer and its sublayers, of the frame's size in whole pixels; nullptr for a
/// layer whose size is not finite or holds no whole pixel.
std::shared_ptr<NSImage> snapshot(CALayer& layer);

/// The colour the layer draws at a point of its coordinates; transparent black where it draws
/// nothing. The colour is returned with straight (not premultiplied) components.
std::shared_ptr<NSColor> pixelColor(CALayer& layer, CGPoint point);

}  // namespace ZuzeDiv
