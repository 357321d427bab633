#pragma once
// What the module's storyboard scenes share when they build their views in code: labels made for
// constraints, and the constraints that place rows and fix sizes, each made active at once.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz::StoryboardLayout {

/// Makes the constraint active and hands it back, for the scenes that keep one to change later.
std::shared_ptr<NSLayoutConstraint> active(const std::shared_ptr<NSLayoutConstraint>& constraint);

/// The view, to be placed by constraints only.
template <class View>
std::shared_ptr<View> constrained(const std::shared_ptr<View>& view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

/// An empty label placed by constraints, in the font and colour; it wraps, or keeps to one line.
std::shared_ptr<NSTextField> label(bool wrapping, const std::shared_ptr<NSFont>& font, const std::shared_ptr<NSColor>& color);

/// The constraints of a row, in the order they are made.
struct Row {
    std::shared_ptr<NSLayoutConstraint> top, leading, trailing, height;
};

/// Places the view `gap` under the anchor, between the container's leading and trailing edges
/// inset by `inset` on each side, at a fixed height: top, leading, trailing, then height.
Row row(NSView& view, const NSLayoutAnchor& under, CGFloat gap, NSView& container, CGFloat inset, CGFloat height);

/// Fixes the view's width, then its height.
void fixSize(NSView& view, CGFloat width, CGFloat height);

}  // namespace ZododuvoZoz::StoryboardLayout
