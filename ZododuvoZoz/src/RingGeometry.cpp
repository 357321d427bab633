#include "RingGeometry.hpp"

#include "ZododuvoZoz/BezierPathExtensions.hpp"

namespace ZododuvoZoz {

CGMutablePath ringTrack(CGPoint center, CGFloat radius) {
    if (!(radius > 0)) return {};  // a view too small for the ring shows nothing
    NSBezierPath path;
    path.appendArc(center, radius, -45, -135, false);
    return cgPath(path);
}

CGMutablePath ringProgress(CGPoint center, CGFloat radius, CGFloat value) {
    if (!(radius > 0)) return {};
    NSBezierPath path;
    CGFloat sweep = value * 270;
    if (225 - sweep > 0) {
        path.appendArc(center, radius, 225, 225 - sweep, true);
    } else {
        path.appendArc(center, radius, 225, 0, true);
        path.appendArc(center, radius, 0, 585 - sweep, true);
    }
    return cgPath(path);
}

CGMutablePath fullCircle(CGPoint center, CGFloat radius) {
    if (!(radius > 0)) return {};
    NSBezierPath path;
    path.appendArc(center, radius, 0, 360, false);
    return cgPath(path);
}

CGMutablePath circleFromTop(CGPoint center, CGFloat radius) {
    if (!(radius > 0)) return {};
    NSBezierPath path;
    path.appendArc(center, radius, 90, 90.000001, true);
    return cgPath(path);
}

}  // namespace ZododuvoZoz
