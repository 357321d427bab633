#include "RingGeometry.hpp"

#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

CGPoint ringCenter(const CGRect& bounds) { return {bounds.width() * 0.5, bounds.height() * 0.5}; }

CGFloat insetRingRadius(const CGRect& bounds, CGFloat lineWidth) { return bounds.width() * 0.5 - 2 * lineWidth - 2; }

void prepareRingLayer(CAShapeLayer& layer, const CGRect& bounds, CGFloat lineWidth) {
    layer.setContentsScale(Constants::screenScale());
    layer.setFrame(bounds);
    layer.setLineWidth(lineWidth);
    layer.setFillColor(std::nullopt);
}

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
