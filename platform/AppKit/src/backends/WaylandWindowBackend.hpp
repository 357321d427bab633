#pragma once
// Real windows on a Wayland compositor, as its own client (libwayland and the desktop shell,
// xdg-shell; no toolkit and no OpenGL). Each window is a toplevel surface of the window's frame
// size showing the whole window as the platform draws it, title bar and toolbar band included,
// in buffers of memory shared with the compositor (wl_shm) that the window draws into, handing
// on only the rectangles it drew anew. A press on the title bar, or on the background of a window
// movable by its background, that goes past the drag threshold (GTK's setting, else 8 points) lets
// the compositor move the window; pointer, wheel and the
// navigation keys and Escape become NSEvents; the close button and the compositor's close request go
// through the window's close, the miniaturize button minimizes the window; the current cursor is
// shown as the pointer moves. A compositor that goes away ends the application with a message.
//
// The main screen becomes the smallest of the outputs the window is on (WaylandScreen; the one it
// entered last while it is on none, the smallest output before it entered one), usable within the
// bounds the compositor gives the windows where it gives some; windows are drawn at the largest
// scale of the outputs they are on, that many pixels a point, and fitted on the screen again
// whenever it changes.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/WindowBackend.hpp"
#include "WaylandSurfaceWindows.hpp"
#include "WaylandWaiter.hpp"

class WaylandConnection;
class WaylandKeyboard;
class WaylandPointer;
class WaylandShm;
class WaylandToplevel;
struct wl_surface;

class WaylandWindowBackend : public WindowBackend,
                             public WaylandSurfaceWindows,
                             public WaylandWaiter::Events,
                             public std::enable_shared_from_this<WaylandWindowBackend> {
public:
    /// Connects to the compositor the environment names (WAYLAND_DISPLAY, else wayland-0) and says
    /// on standard error that windows are shown there; nullptr, with the reason in `why`, when it
    /// cannot.
    static std::shared_ptr<WaylandWindowBackend> make(std::string& why);
    ~WaylandWindowBackend() override;
    WaylandWindowBackend(const WaylandWindowBackend&) = delete;
    WaylandWindowBackend& operator=(const WaylandWindowBackend&) = delete;

    std::string name() const override { return "wayland"; }
    void show(NSWindow& window) override;
    void hide(NSWindow& window) override;
    void update(NSWindow& window) override;
    void miniaturize(NSWindow& window) override;
    void display(NSWindow& window, const DirtyRegion& region) override;
    /// The memory of a buffer shared with the compositor.
    std::shared_ptr<CGContext> makeBackingStore(NSWindow& window, std::size_t width, std::size_t height) override;
    std::shared_ptr<CGContext> nextBackingStore(NSWindow& window) override;
    std::shared_ptr<RunLoop::Waiter> waiter() override;
    void shutdown() override;
    bool displayLost() const override { return displayLost_; }
    CGFloat dragThreshold() const override { return dragThreshold_; }
    bool moveWithPointer(NSWindow& window, CGPoint from) override;

    WaylandToplevel* toplevel(wl_surface* surface) const override;
    int scale() const override { return scale_; }

    wl_display* displayToRead() const override;
    std::optional<double> untilKeyRepeat() const override;
    /// A key held down repeats, and a connection that broke ends the application.
    void afterEvents() override;

private:
    WaylandWindowBackend() = default;
    WaylandToplevel* toplevel(const NSWindow& window) const;
    /// The outputs, those the windows are on or the bounds the compositor gives them changed: the
    /// main screen and the scale follow, and the windows are fitted on the screen again.
    void screenChanged();
    void seatChanged(std::uint32_t capabilities);

    std::unique_ptr<WaylandConnection> connection_;
    std::shared_ptr<WaylandShm> shm_;
    std::unique_ptr<WaylandPointer> pointer_;
    std::unique_ptr<WaylandKeyboard> keyboard_;
    std::map<const NSWindow*, std::unique_ptr<WaylandToplevel>> windows_;
    std::shared_ptr<RunLoop::Waiter> waiter_;
    std::string displayName_;
    int scale_ = 1;
    CGFloat dragThreshold_ = defaultDragThreshold;
    bool displayLost_ = false;
};
