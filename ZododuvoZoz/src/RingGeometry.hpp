#pragma once
// What the ring gauges share: the centre and radius of their rings, how each ring layer starts,
// and the paths: for the 270-degree rings the track over the top of the ring and the progress arc
// growing clockwise from 225 degrees; for the full circles the track and the ring that starts at
// the top and runs clockwise.
#include "AppKit/NSBezierPath.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

/// The middle of the bounds, where every ring is centred.
CGPoint ringCenter(const CGRect& bounds);
/// The radius of a ring whose centre line lies two line widths and two points inside the view's
/// left and right edges; it follows the width alone.
CGFloat insetRingRadius(const CGRect& bounds, CGFloat lineWidth);
/// What every ring layer starts from: the main screen's scale, the bounds as its frame, the line
/// width, and no fill.
void prepareRingLayer(CAShapeLayer& layer, const CGRect& bounds, CGFloat lineWidth);

// A radius of zero or less (a view too narrow for its line width) gives an empty path.

/// One arc counter-clockwise from −45° to −135°, leaving the 90° gap at the bottom.
CGMutablePath ringTrack(CGPoint center, CGFloat radius);
/// A clockwise arc of value × 270° from 225°; past 0° it is drawn as two arcs, 225° to 0° and
/// 0° to 585° − sweep.
CGMutablePath ringProgress(CGPoint center, CGFloat radius, CGFloat value);
/// One arc counter-clockwise from 0° to 360°.
CGMutablePath fullCircle(CGPoint center, CGFloat radius);
/// One arc clockwise from 90° to 90.000001°: the whole circle from the top, so that a stroke end
/// of v shows the fraction v of it.
CGMutablePath circleFromTop(CGPoint center, CGFloat radius);

}  // namespace ZododuvoZoz
