#pragma once
// A straight progress bar for hosts that describe their views as values rather than objects: it
// holds its line width and progress, and from the size it is offered makes two strokes laid over
// one another, a faint track and the progress, green above 0.2 and red otherwise.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace ZododuvoZoz {

struct UIProgressView {
    CGFloat lineWidth = 0;
    CGFloat progress = 0;

    /// How both lines are stroked: the bar's line width, round caps, mitred joins (limit 10),
    /// no dash.
    struct StrokeStyle {
        CGFloat lineWidth = 0;
        CGLineCap cap = CGLineCap::round;
        CGLineJoin join = CGLineJoin::miter;
        CGFloat miterLimit = 10;
        std::vector<CGFloat> dash;
    };
    /// One straight line in a colour shown at an opacity.
    struct Stroke {
        CGPoint from, to;
        std::shared_ptr<NSColor> color;
        CGFloat opacity = 1;
    };
    /// What the bar shows: the track first, the progress over it.
    struct Body {
        StrokeStyle style;
        Stroke track;
        Stroke progress;
    };

    /// The strokes for a bar offered `size`. The progress runs from the track's start to
    /// (width - lineWidth) × progress, for a progress within 0...1; any other progress (one that
    /// is not a number too) counts as 0, whose stroke runs from the track's start back to x = 0.
    Body body(CGSize size) const;
    /// Strokes the body for `size` into the context, the track first.
    void draw(CGContext& context, CGSize size) const;

    /// The bar shown at design time: line width 4, half full.
    static UIProgressView preview() { return {4, 0.5}; }
};

}  // namespace ZododuvoZoz
