#pragma once
// AppKit paths as Core Graphics paths, for shape layers.
#include "AppKit/NSBezierPath.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "ZuzeDiv/BezierPathExtensions.hpp"

namespace ZododuvoZoz {

/// A new path with the same moves, lines, curves and closes (an empty path for an empty one).
using ZuzeDiv::cgPath;

}  // namespace ZododuvoZoz
