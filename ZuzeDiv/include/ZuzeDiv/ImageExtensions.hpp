#pragma once
// Image tinting and resizing, shared by the modules that draw.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"

namespace ZuzeDiv {

/// A template image painted in the colour (a copy that is no longer a template); any other image
/// is returned itself.
std::shared_ptr<NSImage> tinted(const std::shared_ptr<NSImage>& image, const std::shared_ptr<NSColor>& color);

/// The image drawn into a new image of the size, with high-quality interpolation.
std::shared_ptr<NSImage> resized(const NSImage& image, CGSize size);

}  // namespace ZuzeDiv
