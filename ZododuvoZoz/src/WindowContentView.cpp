#include "ZododuvoZoz/WindowContentView.hpp"

#include "AppKit/NSGraphicsContext.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

namespace ZododuvoZoz {

void WindowContentView::draw(const CGRect&) {
    (isDarkMode(*this) ? NSColor::clearColor() : NSColor::whiteColor())->setFill();
    NSRectFill(bounds());
}

}  // namespace ZododuvoZoz
