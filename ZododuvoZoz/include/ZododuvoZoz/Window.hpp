#pragma once
// A window whose title bar blends into its content: not opaque, on the window background colour,
// with a transparent title bar, always resizable and without a zoom button.
#include <memory>

#include "AppKit/NSWindow.hpp"

namespace ZododuvoZoz {

class Window : public NSWindow {
public:
    /// A window over `contentRect` of the style given (resizable added), as NSWindow makes one.
    /// Every window here keeps its pixels the same way whether deferred or not.
    static std::shared_ptr<Window> make(const CGRect& contentRect, StyleMask styleMask,
                                        BackingStoreType backing = BackingStoreType::buffered, bool defer = false);

    Window(const CGRect& contentRect, StyleMask styleMask) : NSWindow(contentRect, styleMask) {}
};

}  // namespace ZododuvoZoz
