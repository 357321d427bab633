#pragma once
// The one way from views and layers to pixels: a view tree (layer-backed views through their
// layers, the others through draw(_:)) or a layer tree drawn into a Core Graphics context, or into
// a new ARGB32 bitmap at the screen's scale, which can be written as PNG. Windows render their
// content view through it.
#include <memory>
#include <optional>

#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "QuartzCore/CALayer.hpp"

class ViewRenderer {
public:
    ViewRenderer() = delete;

    /// The main screen's backing scale factor, or 1 without a main screen.
    static CGFloat screenScale();
    /// Draws the view and its subviews; the context's user space is the view's bounds with y up.
    /// Each view draws with its effective appearance as the current drawing appearance.
    static void draw(NSView& view, CGContext& context);
    /// The view's bounds drawn into a new transparent bitmap of bounds × scale pixels.
    static std::shared_ptr<CGImage> image(NSView& view, std::optional<CGFloat> scale = std::nullopt);
    /// The layer's bounds drawn into a new transparent bitmap of bounds × scale pixels.
    static std::shared_ptr<CGImage> image(CALayer& layer, std::optional<CGFloat> scale = std::nullopt);
};
