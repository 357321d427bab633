#pragma once
// Drawing shared by the controls: images with template tinting, and the colours of bezels.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace ControlDrawing {

/// Draws the image into the rectangle of the current graphics context: a template image as a
/// shape in the colour (read in the current drawing appearance), any other image as it is.
void drawImage(const NSImage& image, const CGRect& rect, const std::shared_ptr<NSColor>& templateColor,
               CGFloat fraction = 1.0);

/// The face of a raised control (a button, a segmented control's track), light or dark.
std::shared_ptr<NSColor> bezelColor();
/// The line around a raised control.
std::shared_ptr<NSColor> bezelBorderColor();
/// Laid over a control's face while it is pressed.
std::shared_ptr<NSColor> pressedOverlayColor();

}  // namespace ControlDrawing
