#pragma once
// What the layer-drawn controls (and the hover label, drawn the same way) share: each control draws
// only with layers it made once, and on every redraw takes each layer off, rebuilds it from the
// bounds and its properties, and puts it back on the view's layer in drawing order.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz::LayerDrawing {

/// Runs a redraw with the view's own appearance as the drawing appearance, so that the system
/// colours it resolves are those of the view wherever the redraw was asked for.
void redrawing(NSView& view, const std::function<void()>& steps);

/// The start of a redraw: the view becomes layer-backed, and its layer clips to its bounds rounded
/// by the radius.
void prepareViewLayer(NSView& view, CGFloat cornerRadius);

/// The layer takes the main screen's scale (1 without a main screen) and goes on top of the view's
/// layer, when the view has one.
void attach(NSView& view, const std::shared_ptr<CALayer>& layer);

/// Takes the shape layer off and gives it the bounds and a rectangle over them rounded by the radius
/// on both axes; the caller colours it and attaches it.
void reshape(NSView& view, CAShapeLayer& layer, CGFloat radius);

/// The text step: the text layer is taken off and, when there is a font, shows the text in the font
/// and colour in the middle of the bounds, at the size the text measures in that font for the
/// view's frame, and is attached.
void drawText(NSView& view, const std::shared_ptr<CATextLayer>& layer, const std::string& text,
              const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color);
/// The text step for a button: its title in its font.
void drawTitle(NSButton& button, const std::shared_ptr<CATextLayer>& layer, const std::shared_ptr<NSColor>& color);

/// The image at the screen's scale, for a layer's contents; nothing for no image.
std::shared_ptr<CGImage> contents(const std::shared_ptr<NSImage>& image);

/// The image step: the layer is taken off, covers the bounds and shows the image (or nothing) at
/// its own size in the middle, and is attached.
void drawImage(NSView& view, const std::shared_ptr<CALayer>& layer, const std::shared_ptr<NSImage>& image);

/// The icon step of the toggle button and the hover label: the layer is taken off and, when there
/// is an icon and both sides of the size are above 0, sits 4 points from the left edge, centred
/// vertically, at that size, showing the icon resized to it at the screen's scale, and is attached.
void drawIcon(NSView& view, const std::shared_ptr<CALayer>& layer, const std::shared_ptr<NSImage>& icon, CGSize size);

/// Scales the view's layer about the middle of the view: 0.95 pressed, 1 released. Inside an
/// animation group the change is recorded on the layer as an animation of the group's length
/// under "transform".
void applyScale(NSView& view, CGFloat scale);

/// Runs the change in an animation group of 0.2 seconds, as a press shows.
void animatePress(const std::function<void()>& change);

/// The highlight under the pointer of the toggle button and the hover label: in a dark appearance
/// the quaternary label colour at alpha 0.4, else RGB 242, 242, 242; a new colour on every call.
std::shared_ptr<NSColor> hoverHighlight(const NSView& view);

/// Replaces the previous hover area (when there is one) with a new one over the bounds that reports
/// the pointer entering and leaving, in any window state; returns the new area.
std::shared_ptr<NSTrackingArea> replaceHoverArea(NSView& view, const std::shared_ptr<NSTrackingArea>& previous);

/// What a button does once the inherited handling of a mouse-down is over. That handling follows
/// the press until the mouse button goes up, so the work waits in `pending` for the mouse-up when
/// the press is being tracked, and runs at once when it is not (a disabled button ignores the
/// press). Call right after the inherited mouseDown.
void afterPress(const NSControl& control, std::function<void()>& pending, std::function<void()> work);
/// Runs the work left waiting for the mouse-up, once. Call right after the inherited mouseUp.
void pressEnded(std::function<void()>& pending);

/// The mouse-down of the buttons that shrink while pressed: `scaleDown` in a press animation, then
/// the inherited handling, then `scaleUp` in another press animation once the press is over (as
/// afterPress tells).
void pressWithScale(const NSControl& control, std::function<void()>& pending, const std::function<void()>& scaleDown,
                    const std::function<void()>& inherited, const std::function<void()>& scaleUp);

}  // namespace ZododuvoZoz::LayerDrawing
