#pragma once
// Geometry helpers.
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreLocation/CLLocation.hpp"

namespace ZuzeDiv {

/// The point (midX, midY).
inline CGPoint center(const CGRect& rect) { return {rect.midX(), rect.midY()}; }

/// The distance between two coordinates in metres, as the location service measures it.
inline double distance(const CLLocationCoordinate2D& from, const CLLocationCoordinate2D& to) {
    return CLLocation(from.latitude, from.longitude).distance(CLLocation(to.latitude, to.longitude));
}

}  // namespace ZuzeDiv
