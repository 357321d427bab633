#pragma once
// Where windows appear: the platform keeps its windows as a model (frames, views, levels) and a
// backend puts them on a screen. Three backends exist: headless (no screen: windows are drawn into
// bitmaps kept in memory, written as PNG on request, and events are injected by calling
// NSWindow::sendEvent), SDL2 on X11 and the platform's own Wayland client (real windows without
// decorations of the window system; the platform draws title bar and toolbar band itself).
//
// The application's backend is chosen when it starts (NSApplicationMain): the environment variable
// QUILLON_WINDOW_BACKEND ("headless" or "sdl", a real window) decides when set; otherwise a real
// window when a display is there (DISPLAY or WAYLAND_DISPLAY set), headless when not. A real window
// goes to X11 when DISPLAY is set and the X server answers, else to Wayland.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/RunLoop.hpp"

class CGContext;
class DirtyRegion;
class NSWindow;

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    virtual std::string name() const = 0;
    /// The window came on screen or was brought to the front.
    virtual void show(NSWindow& window) = 0;
    /// The window left the screen (ordered out or closed).
    virtual void hide(NSWindow& window) = 0;
    /// The window's frame, title, level, style or key state changed.
    virtual void update(NSWindow& window) = 0;
    /// A bitmap of the window's pixel size (ARGB, premultiplied, 32 bits a pixel) that the window
    /// system shows as it is, for the window to draw into, so that its pixels are kept once;
    /// nullptr, by default, when the backend has none: the window keeps its own, and display()
    /// hands on what it drew. The window gives its bitmap up before asking for a new one.
    virtual std::shared_ptr<CGContext> makeBackingStore(NSWindow&, std::size_t /*width*/, std::size_t /*height*/) {
        return nullptr;
    }
    /// Before the window draws again into the bitmap the backend lent: a bitmap of the same size
    /// holding the same picture, for the window to draw into from now on, where the window system
    /// may still be reading the one lent before; nullptr, by default, to draw where it drew.
    virtual std::shared_ptr<CGContext> nextBackingStore(NSWindow&) { return nullptr; }
    /// The window was miniaturized (iconified) or came back from it.
    virtual void miniaturize(NSWindow&) {}
    virtual void deminiaturize(NSWindow&) {}
    /// Shows what the window drew into its backing store in the region (window coordinates).
    virtual void display(NSWindow& window, const DirtyRegion& region) = 0;
    /// How far, in points along either axis, the pointer goes with the left button down before a
    /// press where the window is moved by starts moving it: the desktop's drag threshold, and
    /// desktop toolkits' 8 by default.
    virtual CGFloat dragThreshold() const { return defaultDragThreshold; }
    static constexpr CGFloat defaultDragThreshold = 8;
    /// Hands the window's move to the window system, which moves it with the pointer until the
    /// left button, pressed at `from` (window coordinates) and still down, goes up; whether it
    /// took it. False, by default, where the window follows the pointer itself.
    virtual bool moveWithPointer(NSWindow& /*window*/, CGPoint /*from*/) { return false; }
    /// The application became active: its key window comes to the front of the screen.
    virtual void activate() {}
    /// How the main loop waits while this backend is in use (window-system events wake it);
    /// nullptr keeps the loop's own waiting.
    virtual std::shared_ptr<RunLoop::Waiter> waiter() { return nullptr; }
    /// Lets go of the screen (the application ends).
    virtual void shutdown() {}
    /// Whether the window system went away while the application ran: it then ends with status 1.
    virtual bool displayLost() const { return false; }

    /// The backend the environment asks for (see above); nullptr and a message naming the display
    /// on standard error when a real window is asked for but no display opens (the application
    /// then ends).
    static std::shared_ptr<WindowBackend> makeForEnvironment();
    /// The name the environment asks for: "headless" or "sdl".
    static std::string chosenName();
};
