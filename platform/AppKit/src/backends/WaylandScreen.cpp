#include "WaylandScreen.hpp"

#include <algorithm>

#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"

namespace {

// The output's size in points; nothing while its mode is not known.
std::optional<CGSize> pointsOf(const WaylandConnection::Output& output) {
    if (output.width() <= 0 || output.height() <= 0) return std::nullopt;
    return CGSize{CGFloat(output.width()) / output.scale, CGFloat(output.height()) / output.scale};
}

// The smallest size of the outputs `wanted` takes (the shortest, then the narrowest); nothing
// where it takes none of known size.
template <typename Wanted>
std::optional<CGSize> smallest(const std::map<std::uint32_t, WaylandConnection::Output>& outputs, Wanted wanted) {
    std::optional<CGSize> found;
    for (const auto& [name, output] : outputs) {
        auto size = pointsOf(output);
        if (!size || !wanted(output)) continue;
        if (!found || size->height < found->height || (size->height == found->height && size->width < found->width)) found = size;
    }
    return found;
}

}  // namespace

std::shared_ptr<NSScreen> WaylandScreen::make(const std::map<std::uint32_t, WaylandConnection::Output>& outputs,
                                              const std::set<wl_output*>& entered, const std::set<wl_output*>& homes,
                                              std::optional<CGSize> bounds) {
    int scale = 1;
    for (const auto& [name, output] : outputs) {
        if (entered.empty() || entered.contains(output.output)) scale = std::max(scale, output.scale);
    }
    auto size = smallest(outputs, [&](const WaylandConnection::Output& output) { return homes.contains(output.output); });
    // Bounds given before the windows are on an output are those of the output the compositor
    // places them on: the smallest that holds them.
    if (!size && bounds) {
        size = smallest(outputs, [&](const WaylandConnection::Output& output) {
            auto points = pointsOf(output);
            return points->width >= bounds->width && points->height >= bounds->height;
        });
    }
    if (!size) size = smallest(outputs, [](const WaylandConnection::Output&) { return true; });
    CGRect frame{0, 0, 1024, 768};
    if (size) frame.size = *size;
    // The compositor tells the bounds' size, not where its panels are: they are taken to be at
    // the top, which is where a window's place on Wayland makes no difference.
    CGRect visible = frame;
    if (bounds) {
        visible.size = CGSize{std::min(bounds->width, frame.width()), std::min(bounds->height, frame.height())};
        visible.origin.y = frame.height() - visible.height();
    }
    return std::make_shared<NSScreen>(frame, scale, visible);
}

bool WaylandScreen::mayGrowOnAnOutput(const std::map<std::uint32_t, WaylandConnection::Output>& outputs, const NSWindow& window) {
    auto screen = NSScreen::main();
    if (!screen || window.frame().height() < screen->visibleFrame().height()) return false;
    return smallest(outputs, [&](const WaylandConnection::Output& output) { return pointsOf(output)->height > screen->frame().height(); })
        .has_value();
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
