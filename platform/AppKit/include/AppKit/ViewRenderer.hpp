#pragma once
// The one way from views and layers to pixels: a view tree (layer-backed views through their
// layers, the others through draw(_:)) or a layer tree drawn into a Core Graphics context, or into
// a new ARGB32 bitmap at the screen's scale, which can be written as PNG. Windows render their
// views through it, only where they changed.
#include <memory>
#include <optional>

#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "QuartzCore/CALayer.hpp"

class DirtyRegion;

class ViewRenderer {
public:
    ViewRenderer() = delete;

    /// The main screen's backing scale factor, or 1 without a main screen.
    static CGFloat screenScale();
    /// Draws the view and its subviews; the context's user space is the view's bounds with y up.
    /// Each view draws with its effective appearance as the current drawing appearance.
    static void draw(NSView& view, CGContext& context);
    /// Draws a window's view tree from its root where `region` (window coordinates) changed:
    /// views whose pixels lie elsewhere are not asked to draw, and the layers drawn forget their
    /// changes (those still animating ask for the next frame).
    static void drawChanged(NSView& root, CGContext& context, const DirtyRegion& region);
    /// The view's bounds drawn into a new transparent bitmap of bounds × scale pixels.
    static std::shared_ptr<CGImage> image(NSView& view, std::optional<CGFloat> scale = std::nullopt);
    /// The layer's bounds drawn into a new transparent bitmap of bounds × scale pixels.
    static std::shared_ptr<CGImage> image(CALayer& layer, std::optional<CGFloat> scale = std::nullopt);

    /// Whether anything under a view drawn outside any window (a status item's content) asked to
    /// be drawn again, moved, came or went since the last call; each call forgets what it saw.
    static bool takeChanges(NSView& view);

    /// The transform from a subview's bounds coordinates to its superview's, as it is drawn
    /// (flipped superviews and transformed backing layers included).
    static CGAffineTransform placement(const NSView& superview, const NSView& subview);

private:
    static void drawTree(NSView& view, CGContext& context, const DirtyRegion* region);
};
