#pragma once
// A window on a Wayland compositor: a surface in the desktop shell's toplevel role, titled, named
// after the application (its app id, by which the desktop finds its entry and icon) and held at the
// window's size (the platform sizes its windows itself, the zoom button too), showing the window's
// pixels through buffers shared with the compositor once the compositor has configured it. It
// follows the outputs it is on (WaylandSurfaceOutputs) and the bounds the compositor gives it,
// and hands the compositor's close request to the window.
//
// The compositor places a window for the height of its first buffer and keeps its top edge there
// as it grows. Where the window's height waits on the output it opens on (no bounds came with
// the first configure, and an output would let it be taller), its first buffer is blank until
// the compositor names the output (or has not within a second). A window that grows past the
// height it was placed with is shown anew (taken off the screen and made a new toplevel of the
// same surface), for the compositor to place it for its new height: while it was never seen, on
// the first output it enters, and later while it is the active window and was not moved with
// the pointer since it was placed.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "CoreGraphics/CGGeometry.hpp"
#include "PixelStore.hpp"
#include "WaylandShm.hpp"
#include "WaylandSurfaceOutputs.hpp"

class DirtyRegion;
class NSWindow;
class WaylandConnection;
struct wl_array;
struct wl_callback;
struct wl_output;
struct wl_seat;
struct wl_surface;
struct xdg_surface;
struct xdg_wm_base;
struct xdg_toplevel;

class WaylandToplevel {
public:
    /// The window on the compositor, `scale` pixels a unit of the compositor's.
    WaylandToplevel(const WaylandConnection& connection, std::shared_ptr<WaylandShm> shm, NSWindow& window, int scale,
                    const std::string& appID);
    ~WaylandToplevel();
    WaylandToplevel(const WaylandToplevel&) = delete;
    WaylandToplevel& operator=(const WaylandToplevel&) = delete;

    wl_surface* surface() const { return surface_; }
    std::shared_ptr<NSWindow> window() const { return window_.lock(); }
    /// The outputs the surface shows on.
    const std::set<wl_output*>& outputs() const { return outputs_.current(); }
    /// The outputs the window takes its size from (WaylandSurfaceOutputs::sizing).
    std::set<wl_output*> sizingOutputs() const { return outputs_.sizing(); }
    /// The output is gone.
    void forget(wl_output* output);
    /// The size the compositor asks the window to fit in (its output less its panels), in units
    /// of the compositor's; none where it tells none.
    std::optional<CGSize> bounds() const { return bounds_; }
    /// Called when the surface enters or leaves an output, or the compositor gives it other bounds.
    std::function<void()> placeChanged;
    /// Whether the window may take another height once it is on an output; asked when the
    /// compositor first configures it on none and without bounds.
    std::function<bool(const NSWindow&)> heightAwaitsOutput;

    /// Takes the window's title and size.
    void update(const NSWindow& window);
    void minimize();
    /// Lets the compositor move the window with the pointer from the press of that serial on.
    void move(wl_seat* seat, std::uint32_t serial);
    /// From the window's next drawing on, shows its pixels at another scale.
    void rescale(NSWindow& window, int scale);
    PixelStore& pixels() { return *pixels_; }
    /// Shows what the window drew anew in the region (window coordinates).
    void display(NSWindow& window, const DirtyRegion& region);

private:
    static void configured(void* data, xdg_surface* surface, std::uint32_t serial);
    static void entered(void* data, wl_surface*, wl_output* output);
    static void left(void* data, wl_surface*, wl_output* output);
    static void closed(void* data, xdg_toplevel*);
    static void bounded(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height);
    static void framed(void* data, wl_callback* callback, std::uint32_t);
    static void suggested(void* data, xdg_toplevel*, std::int32_t, std::int32_t, wl_array* states);
    std::unique_ptr<PixelStore> makePixelStore(int scale) const;
    /// Gives the surface the toplevel role, the window's title and size, and asks the compositor
    /// to configure it.
    void makeToplevel(const NSWindow& window);
    /// Takes the surface off the screen and shows it again as a new toplevel.
    void remap(const NSWindow& window);
    /// Hands the compositor what the window drew anew in the region.
    void show(NSWindow& window, const DirtyRegion& region);
    /// Shows the surface blank at the window's size, for the compositor to place it.
    void veil();
    /// From the window's next drawing on, shows its pixels (or shows it anew).
    void unveil();
    /// The window grew: shown anew where it outgrew the height it was placed with while it was
    /// never seen, or while it is active and was not moved since it was placed.
    void grew();

    std::shared_ptr<WaylandShm> shm_;
    xdg_wm_base* shell_ = nullptr;
    std::weak_ptr<NSWindow> window_;
    wl_surface* surface_ = nullptr;
    xdg_surface* role_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    std::unique_ptr<PixelStore> pixels_;
    int scale_ = 1;
    wl_callback* frame_ = nullptr;  // the frame that shows the window made smaller
    std::unique_ptr<WaylandShm::Buffer> veil_;  // the blank first buffer, until pixels replace it
    int veils_ = 0;                             // blank first buffers shown
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();  // held while the object lives
    WaylandSurfaceOutputs outputs_;
    std::string appID_;
    std::string title_;
    CGSize size_;
    std::optional<CGSize> bounds_;
    bool configured_ = false;
    bool placed_ = false;       // the toplevel has shown its first buffer
    CGFloat placedHeight_ = 0;  // that buffer's height
    bool veiled_ = false;       // it shows the blank buffer
    bool seen_ = false;         // the window's pixels were shown
    bool activated_ = false;    // the compositor says the window is the active one
    bool moved_ = false;        // moved with the pointer since it was placed
    bool remap_ = false;
};
