#pragma once
// Filling one value view's shape with another's pixels, for hosts that describe their views as
// values: the masking view fixes the size and the shape, the content gives the colours (a gradient
// showing only inside the glyphs of a text, say).
#include <functional>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace ZododuvoZoz {

/// How a value view draws itself into a context, given the size it is offered (user space from
/// the origin to that size).
using ViewDrawing = std::function<void(CGContext&, CGSize)>;

/// The content seen through a masking view: both are offered the masking view's ideal size, and
/// the content shows only where the mask draws, as far as it covers (its alpha). The result stands
/// at that ideal size, centred in whatever size it is offered.
struct ForegroundMask {
    /// The masking view's ideal size, which the result keeps.
    CGSize size;
    /// The masking view: its shape is kept, its colours are not shown.
    ViewDrawing mask;
    /// What fills the shape.
    ViewDrawing content;

    /// Where the result stands in an offered size: `size` centred in it.
    CGRect frame(CGSize offered) const;
    /// Draws the masked content into its frame in the offered size, with the context's blend mode
    /// and alpha. Nothing is drawn for an empty size or a missing drawing.
    void draw(CGContext& context, CGSize offered) const;
};

/// The content shown through `mask`, which has the ideal size `size`.
inline ForegroundMask foregroundMask(ViewDrawing mask, CGSize size, ViewDrawing content) {
    return {size, std::move(mask), std::move(content)};
}

}  // namespace ZododuvoZoz
