#pragma once
// View chores.
#include "AppKit/NSView.hpp"

namespace ZuzeDiv {

/// Makes the view fill its superview: four active constraints, top, bottom, leading and trailing,
/// each equal to the superview's with constant 0. A view without a superview is left untouched.
void pinToSuperview(NSView& view);

/// Removes every subview, in order.
void removeAllSubviews(NSView& view);

}  // namespace ZuzeDiv
