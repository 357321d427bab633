#include "WaylandScreen.hpp"

#include <algorithm>

#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"

std::shared_ptr<NSScreen> WaylandScreen::make(const std::map<std::uint32_t, WaylandConnection::Output>& outputs,
                                              const std::set<wl_output*>& entered, std::optional<CGSize> bounds) {
    int scale = 1;
    const WaylandConnection::Output* first = nullptr;
    for (const auto& [name, output] : outputs) {
        if (!first) first = &output;
        if (entered.empty() || entered.contains(output.output)) scale = std::max(scale, output.scale);
    }
    CGRect frame{0, 0, 1024, 768};
    if (first && first->width() > 0 && first->height() > 0) {
        frame.size = CGSize{CGFloat(first->width()) / first->scale, CGFloat(first->height()) / first->scale};
    }
    // The compositor tells the bounds' size, not where its panels are: they are taken to be at
    // the top, which is where a window's place on Wayland makes no difference.
    CGRect visible = frame;
    if (bounds) {
        visible.size = CGSize{std::min(bounds->width, frame.width()), std::min(bounds->height, frame.height())};
        visible.origin.y = frame.height() - visible.height();
    }
    return std::make_shared<NSScreen>(frame, scale, visible);
}

bool WaylandScreen::setMain(const std::shared_ptr<NSScreen>& screen, const std::vector<std::shared_ptr<NSWindow>>& windows) {
    auto main = NSScreen::main();
    if (main && main->frame() == screen->frame() && main->visibleFrame() == screen->visibleFrame() &&
        main->backingScaleFactor() == screen->backingScaleFactor()) {
        return false;
    }
    NSScreen::setMain(screen);
    for (const auto& window : windows) window->fitOnScreen();
    return true;
}
