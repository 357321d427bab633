#pragma once
// Window measures.
#include "AppKit/NSWindow.hpp"

namespace RarAvi {

/// The frame's height less the height of the content rectangle for that frame (0 for a window
/// without a title bar).
CGFloat titleBarHeight(const NSWindow& window);

}  // namespace RarAvi
