#include "AppKit/NSEvent.hpp"

#include <cmath>

void NSEvent::setWheelNotches(double right, double up, double pointsPerNotch) {
    // A wheel moves by whole notches. Smooth scrolling (a touchpad) comes in small amounts that
    // are seldom whole: those are taken as the points they stand for.
    hasPreciseScrollingDeltas = right != std::trunc(right) || up != std::trunc(up);
    double scale = hasPreciseScrollingDeltas ? pointsPerNotch : linesPerWheelNotch;
    scrollingDeltaX = CGFloat(-right * scale);
    scrollingDeltaY = CGFloat(up * scale);
}
