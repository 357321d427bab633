#pragma once
// AppKit paths as Core Graphics paths, for shape layers.
#include "AppKit/NSBezierPath.hpp"
#include "CoreGraphics/CGPath.hpp"

namespace ZuzeDiv {

/// A new path with the same moves, lines, curves and closes (an empty path for an empty one).
CGMutablePath cgPath(const NSBezierPath& path);

}  // namespace ZuzeDiv
