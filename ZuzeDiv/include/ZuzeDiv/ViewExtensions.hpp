#pragma once
// View and layer geometry chores.
#include "AppKit/NSView.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZuzeDiv {

/// Makes the view fill its superview: four active constraints, top, bottom, leading and trailing,
/// each equal to the superview's with constant 0. A view without a superview is left untouched.
void pinToSuperview(NSView& view);

/// The same with constants: top (first), bottom (third), leading (second), trailing (fourth), in
/// that order. A positive bottom or trailing constant moves that edge beyond the superview's.
void pinToSuperview(NSView& view, CGFloat top, CGFloat leading, CGFloat bottom, CGFloat trailing);

/// Centres the view in its superview with a fixed size: centre X, centre Y, width and height
/// constraints, in that order. A view without a superview is left untouched.
void centerInSuperview(NSView& view, CGFloat width, CGFloat height);

/// True when the view's effective appearance is the plain dark one ("NSAppearanceNameDarkAqua");
/// the other dark appearances do not count.
bool isDarkAqua(const NSView& view);

/// Removes every subview, in order.
void removeAllSubviews(NSView& view);

/// Moves the layer's anchor point (unit coordinates) without moving the layer on screen: the
/// position moves by the difference of the new and old anchor points in the layer's transformed
/// bounds.
void setAnchorPoint(CALayer& layer, CGPoint anchorPoint);

/// The same for a view's layer; a view without a layer is left alone.
template <class View>
    requires requires(View& view) { view.layer(); }
void setAnchorPoint(View& view, CGPoint anchorPoint) {
    if (auto layer = view.layer()) setAnchorPoint(*layer, anchorPoint);
}

}  // namespace ZuzeDiv
