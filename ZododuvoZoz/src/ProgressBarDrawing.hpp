#pragma once
// The drawing the plain progress bars share: a track that paints the whole view and a progress
// line as thick as the view, both stroked with the view's height and cut off by the view's layer.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

/// Makes the view layer-backed with its layer clipping to its rounded bounds, and puts the track
/// and then the progress layer on it.
void attachBarLayers(NSView& view, const std::shared_ptr<CAShapeLayer>& track, const std::shared_ptr<CAShapeLayer>& progress);

struct BarLook {
    std::shared_ptr<NSColor> trackColor;
    std::shared_ptr<NSColor> progressColor;
    CGPoint from, to;  // the progress line
    CGFloat value;     // its stroke end, as given
};

/// Sets the track and progress layers up for the view's bounds, with actions disabled.
void drawBar(const NSView& view, CAShapeLayer& track, CAShapeLayer& progress, const BarLook& look);

}  // namespace ZododuvoZoz
