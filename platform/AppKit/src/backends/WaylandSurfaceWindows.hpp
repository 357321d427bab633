#pragma once
// What the seat's pointer and keyboard reach of the windows on a Wayland compositor: the window
// on a surface, and the scale they are drawn at.
class WaylandToplevel;
struct wl_surface;

class WaylandSurfaceWindows {
public:
    /// The window shown on the surface; nullptr for none.
    virtual WaylandToplevel* toplevel(wl_surface* surface) const = 0;
    /// Pixels a unit of the compositor's.
    virtual int scale() const = 0;

protected:
    ~WaylandSurfaceWindows() = default;
};
