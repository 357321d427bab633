#pragma once
// Image tinting and resizing.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "ZuzeDiv/ImageExtensions.hpp"

namespace ZododuvoZoz {

/// A template image painted in the colour; the image drawn into a new image of a size.
using ZuzeDiv::resized;
using ZuzeDiv::tinted;

}  // namespace ZododuvoZoz
