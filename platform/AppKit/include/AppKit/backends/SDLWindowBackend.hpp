#pragma once
// Real windows on X11 through SDL2. Each window is a borderless SDL window of the window's frame size
// showing the whole window as the platform draws it, title bar and toolbar band included, so it
// looks the same under any window manager or none. A press on the title bar, or on the background
// of a window movable by its background, that goes past the drag threshold (GTK's setting, else 8
// points) hands the move to the window manager (_NET_WM_MOVERESIZE) where one says it takes it,
// and ends it again where the release comes to the window before the window manager took the
// pointer; else the window follows the pointer itself; the floating level
// keeps the window on top; mouse events, the navigation keys and Escape become NSEvents; the close button
// and the window manager's close request go through the window's close, the miniaturize button
// iconifies the window; the current cursor is shown as the pointer moves. Only the rectangles a
// window drew anew are handed to the X server through SDL's window surface, whose memory is lent to
// the window's pixel store, so that the window draws straight into what is shown.
//
// The main screen becomes the display SDL reports, at the desktop's scale: GDK_SCALE when set, else
// the X resource Xft.dpi over 96, else 1. Windows are then that many pixels a point.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSEvent.hpp"
#include "AppKit/WindowBackend.hpp"
#include "CoreGraphics/CGGeometry.hpp"

class CGContext;
struct SDL_Cursor;
struct SDL_KeyboardEvent;
struct SDL_MouseButtonEvent;
struct SDL_MouseMotionEvent;
struct SDL_SysWMmsg;
struct SDL_Window;
struct SDL_WindowEvent;
union SDL_Event;

class SDLWindowBackend : public WindowBackend, public std::enable_shared_from_this<SDLWindowBackend> {
public:
    /// Starts SDL's video on the X11 display the environment names and says so on standard error;
    /// nullptr, with the reason in `why`, when it cannot.
    static std::shared_ptr<SDLWindowBackend> make(std::string& why);
    ~SDLWindowBackend() override;
    SDLWindowBackend(const SDLWindowBackend&) = delete;
    SDLWindowBackend& operator=(const SDLWindowBackend&) = delete;

    std::string name() const override { return "sdl"; }
    void show(NSWindow& window) override;
    void hide(NSWindow& window) override;
    void update(NSWindow& window) override;
    void miniaturize(NSWindow& window) override;
    void deminiaturize(NSWindow& window) override;
    void display(NSWindow& window, const DirtyRegion& region) override;
    /// The memory the window's presenter shows, where it lends it.
    std::shared_ptr<CGContext> makeBackingStore(NSWindow& window, std::size_t width, std::size_t height) override;
    std::shared_ptr<CGContext> nextBackingStore(NSWindow& window) override;
    void activate() override;
    CGFloat dragThreshold() const override { return dragThreshold_; }
    /// Moves the window with the pointer until the left button goes up: through the window
    /// manager where the button is still down and one that moves windows runs (asked at each
    /// move), else itself. False only where the X server cannot be asked where the pointer is.
    bool moveWithPointer(NSWindow& window, CGPoint from) override;
    std::shared_ptr<RunLoop::Waiter> waiter() override;
    void shutdown() override;

    /// Handles the window system's pending events; returns how many there were.
    int pumpEvents();
    /// Whether any window is shown through SDL.
    bool hasWindows() const { return !windows_.empty(); }
    /// The SDL window showing the window; nullptr when it is not shown.
    SDL_Window* nativeWindow(const NSWindow& window) const;
    /// The display's height in points (screen coordinates run up from its bottom edge).
    CGFloat screenHeight() const { return screenHeight_; }
    void handle(const SDL_Event& event);
    /// The scale of an X11 desktop: GDK_SCALE (from 1) when given, else Xft.dpi / 96, within 1 to 4.
    static CGFloat scaleForX11(const char* gdkScale, std::optional<double> xftDpi);

    SDLWindowBackend() = default;

    struct Native;

private:
    Native* nativeFor(std::uint32_t windowID) const;
    std::shared_ptr<NSWindow> windowFor(std::uint32_t windowID) const;
    /// A mouse event of that type at a point of the window (the window system's units from its
    /// top-left corner).
    NSEvent mouse(NSWindow& window, NSEvent::EventType type, int x, int y) const;
    void mouseMoved(const SDL_MouseMotionEvent& event);
    void mouseButton(const SDL_MouseButtonEvent& event);
    void key(const SDL_KeyboardEvent& event);
    void windowEvent(const SDL_WindowEvent& event);
    /// An event of the window system as it came (SDL passes them on while a window follows the
    /// pointer itself).
    void systemEvent(const SDL_SysWMmsg& message);
    /// Moves the window so that its point `from` (window coordinates) is under the pointer, at
    /// that place of the screen (the window system's units from its top-left corner).
    void placeUnderPointer(Native& native, CGPoint from, int rootX, int rootY);
    void endMove();
    void quit();
    void place(Native& native, NSWindow& window);
    void showCurrentCursor();
    void destroy(Native& native);

    std::map<const NSWindow*, std::unique_ptr<Native>> windows_;
    std::shared_ptr<RunLoop::Waiter> waiter_;
    CGFloat screenHeight_ = 0;
    CGFloat scale_ = 1;
    CGFloat dragThreshold_ = defaultDragThreshold;
    std::uint32_t wakeEvent_ = 0;
    bool started_ = false;
    std::map<std::string, SDL_Cursor*> cursors_;
    std::string shownCursor_ = "arrow";
    // The window moved with the pointer from a press at `from` (window coordinates): by the window
    // itself while the left button is down, or by the window manager it was handed to.
    struct PointerMove {
        std::uint32_t windowID = 0;
        CGPoint from;
        bool handedOver = false;
    };
    std::optional<PointerMove> move_;
};
