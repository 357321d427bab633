#pragma once
// The colour conversions the module's views share.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "CoreGraphics/CGColor.hpp"

namespace ZododuvoZoz {

/// An opaque colour from red, green and blue components of 0 to 255.
std::shared_ptr<NSColor> rgb(int red, int green, int blue);

/// The colour resolved now; nothing for no colour.
std::optional<CGColor> cgColorOrNone(const std::shared_ptr<NSColor>& color);

/// The colours resolved now, in order, leaving out empty entries: a gradient layer's colours.
std::vector<CGColor> cgColors(const std::vector<std::shared_ptr<NSColor>>& colors);

}  // namespace ZododuvoZoz
