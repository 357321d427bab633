#pragma once
// Views that follow the pointer over their whole bounds keep one tracking area and make it anew
// whenever their bounds may have changed.
#include <memory>

#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

/// Removes the previous area from the view (when there is one) and adds a new one over the bounds
/// with the options, owned by the view (by nothing while the view is not yet shared); returns the
/// new area.
std::shared_ptr<NSTrackingArea> replaceTrackingArea(NSView& view, const std::shared_ptr<NSTrackingArea>& previous,
                                                    NSTrackingArea::Options options);

/// The area a view made in its initialiser, before it was shared, is owned by nothing; once the view
/// is in a tree (and so shared) that area is made anew with the same options, owned by the view.
/// Returns the view's area: the new one, or the one given when it needed nothing.
std::shared_ptr<NSTrackingArea> ownTrackingArea(NSView& view, const std::shared_ptr<NSTrackingArea>& area);

}  // namespace ZododuvoZoz
