#pragma once
// View chores: the dark-appearance test and layer styling.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

/// True when the view's effective appearance's name, lowercased, contains "dark".
bool isDarkMode(const NSView& view);

/// Makes the view layer-backed and rounds its layer's corners (8 points unless given), optionally
/// with a background colour.
void applyCornerRadius(NSView& view);
void applyCornerRadius(NSView& view, CGFloat radius);
void applyCornerRadius(NSView& view, CGFloat radius, const std::shared_ptr<NSColor>& color);
/// Makes the view layer-backed and sets its layer's background colour.
void setLayerBackground(NSView& view, const std::shared_ptr<NSColor>& color);

}  // namespace ZododuvoZoz
