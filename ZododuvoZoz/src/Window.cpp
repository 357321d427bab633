#include "ZododuvoZoz/Window.hpp"

#include "AppKit/NSColor.hpp"

namespace ZododuvoZoz {

std::shared_ptr<Window> Window::make(const CGRect& contentRect, StyleMask styleMask, BackingStoreType, bool) {
    auto window = std::make_shared<Window>(contentRect, styleMask);
    install(window, contentRect);
    window->setOpaque(false);
    window->setBackgroundColor(NSColor::windowBackgroundColor());
    window->setTitlebarAppearsTransparent(true);
    window->setStyleMask(window->styleMask().inserting(StyleMask::resizable()));
    if (auto zoom = window->standardWindowButton(ButtonType::zoomButton)) zoom->setHidden(true);
    return window;
}

}  // namespace ZododuvoZoz
