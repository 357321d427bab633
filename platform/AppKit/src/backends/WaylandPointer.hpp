#pragma once
// The seat's pointer over the windows on a Wayland compositor: its moves, buttons and wheel become
// the windows' NSEvents (presses with their click counts), the compositor moves a window under the
// left button when the window asks for it, and the pointer takes
// the current cursor from the desktop's cursor theme (XCURSOR_THEME and XCURSOR_SIZE, as other
// Wayland clients read them).
#include <cstdint>
#include <memory>
#include <string>

#include "AppKit/NSEvent.hpp"

class NSWindow;
class WaylandConnection;
class WaylandSurfaceWindows;
class WaylandToplevel;
struct wl_cursor_theme;
struct wl_pointer;
struct wl_surface;

class WaylandPointer {
public:
    WaylandPointer(const WaylandConnection& connection, const WaylandSurfaceWindows& windows, wl_pointer* pointer);
    ~WaylandPointer();
    WaylandPointer(const WaylandPointer&) = delete;
    WaylandPointer& operator=(const WaylandPointer&) = delete;

    /// The surface goes away (its window left the screen).
    void forget(wl_surface* surface);
    /// Lets the compositor move the window with the pointer, from the press of the left button
    /// that is still down over it; whether it was.
    bool moveWindow(WaylandToplevel& toplevel);

private:
    static void entered(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, std::int32_t x, std::int32_t y);
    static void left(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface);
    static void moved(void* data, wl_pointer*, std::uint32_t time, std::int32_t x, std::int32_t y);
    static void button(void* data, wl_pointer*, std::uint32_t serial, std::uint32_t time, std::uint32_t button, std::uint32_t state);
    static void axis(void* data, wl_pointer*, std::uint32_t time, std::uint32_t axis, std::int32_t value);
    static void frame(void* data, wl_pointer*);
    static void axisDiscrete(void* data, wl_pointer*, std::uint32_t axis, std::int32_t steps);
    static void axisValue120(void* data, wl_pointer*, std::uint32_t axis, std::int32_t value120);

    /// The window under the pointer; nullptr when there is none.
    std::shared_ptr<NSWindow> window() const;
    /// An event of the window where the pointer is.
    NSEvent event(NSWindow& window, NSEvent::EventType type) const;
    /// Shows the current cursor where the pointer does not show it yet.
    void showCursor();

    // The wheel's amounts of one frame, by axis (vertical, horizontal): surface units and steps.
    struct Turn {
        double units = 0, steps = 0;
        bool stepped = false;
    };

    const WaylandConnection& connection_;
    const WaylandSurfaceWindows& windows_;
    wl_pointer* pointer_;
    wl_surface* focus_ = nullptr;
    CGPoint at_;  // surface units from the top-left corner
    std::uint32_t enterSerial_ = 0;
    bool leftDown_ = false, rightDown_ = false;
    std::uint32_t leftPress_ = 0;  // the serial of the left button's press
    Turn turns_[2];
    // The last press, for its click count.
    std::uint32_t lastButton_ = 0;
    double lastPress_ = 0;
    CGPoint lastPlace_;
    int clicks_ = 0;
    // The cursor.
    wl_surface* cursor_ = nullptr;
    wl_cursor_theme* theme_ = nullptr;
    int themeScale_ = 0;
    std::string shown_;
};
