#pragma once
// The paths shared by the 270-degree ring gauges: the track over the top of the ring, and the
// progress arc growing clockwise from 225 degrees.
#include "AppKit/NSBezierPath.hpp"
#include "CoreGraphics/CGPath.hpp"

namespace ZododuvoZoz {

// A radius of zero or less (a view too narrow for its line width) gives an empty path.

/// One arc counter-clockwise from −45° to −135°, leaving the 90° gap at the bottom.
CGMutablePath ringTrack(CGPoint center, CGFloat radius);
/// A clockwise arc of value × 270° from 225°; past 0° it is drawn as two arcs, 225° to 0° and
/// 0° to 585° − sweep.
CGMutablePath ringProgress(CGPoint center, CGFloat radius, CGFloat value);

}  // namespace ZododuvoZoz
