#include "ZododuvoZoz/Controls/LinkButton.hpp"

#include "AppKit/NSCursor.hpp"

namespace ZododuvoZoz {

void LinkButton::resetCursorRects() {
    addCursorRect(bounds(), isEnabled() ? NSCursor::pointingHandCursor() : NSCursor::arrowCursor());
}

}  // namespace ZododuvoZoz
