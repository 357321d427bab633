#pragma once
// The main screen as a Wayland compositor's outputs make it: the output the windows take their
// size from (the smallest of them where they differ; the smallest output of all before a window
// is on one, so that no window opens taller than the output it opens on), in points, y up from
// its bottom edge, drawn at the largest scale of the outputs the windows are on (of all outputs
// before they are on one). Its usable part is the bounds the compositor gives windows where it
// gives some (an output less its panels), else all of it; bounds given before the windows are on
// an output stand for the output they will be on, the smallest that holds them.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "WaylandConnection.hpp"

class NSScreen;
class NSWindow;

class WaylandScreen {
public:
    /// The screen of these outputs, for windows on those entered that take their size from
    /// `homes`, within the bounds given.
    static std::shared_ptr<NSScreen> make(const std::map<std::uint32_t, WaylandConnection::Output>& outputs,
                                          const std::set<wl_output*>& entered, const std::set<wl_output*>& homes,
                                          std::optional<CGSize> bounds);
    /// Whether the window, held at the main screen's usable height, would be taller on one of the
    /// outputs (one taller than the main screen).
    static bool mayGrowOnAnOutput(const std::map<std::uint32_t, WaylandConnection::Output>& outputs, const NSWindow& window);
    /// Makes the screen the main one where it differs from it, and fits the windows on it again
    /// (NSWindow::fitOnScreen). False when nothing changed.
    static bool setMain(const std::shared_ptr<NSScreen>& screen, const std::vector<std::shared_ptr<NSWindow>>& windows);
};
