#include "AppKit/backends/SDLWindowBackend.hpp"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xresource.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/backends/GtkSettings.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "Foundation/Bundle.hpp"
#include "PixelStore.hpp"
#include "SDLWaiter.hpp"
#include "X11SurfacePresenter.hpp"

struct SDLWindowBackend::Native {
    SDL_Window* window = nullptr;
    std::weak_ptr<NSWindow> owner;
    CGRect placed;              // the frame last given to SDL
    bool alwaysOnTop = false;
    CGFloat unitsPerPoint = 1;  // the window system's units (X11: pixels) per point
    std::unique_ptr<PixelStore> pixels;
};

namespace {

// A frame in points, y up from the bottom of a screen that tall, as the window system's units from
// the screen's top-left corner.
SDL_Rect unitsOf(const CGRect& frame, CGFloat unitsPerPoint, CGFloat screenHeight) {
    return SDL_Rect{static_cast<int>(std::lround(frame.minX() * unitsPerPoint)),
                    static_cast<int>(std::lround((screenHeight - frame.maxY()) * unitsPerPoint)),
                    std::max(1, static_cast<int>(std::lround(frame.width() * unitsPerPoint))),
                    std::max(1, static_cast<int>(std::lround(frame.height() * unitsPerPoint)))};
}

// The X resource Xft.dpi, as the desktop sets it for its scale; none without one.
std::optional<double> xftDpi() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    std::optional<double> dpi;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
            char* end = nullptr;
            double read = std::strtod(value.addr, &end);
            if (end != value.addr && read > 0) dpi = read;
        }
        if (database) XrmDestroyDatabase(database);
    }
    XCloseDisplay(display);
    return dpi;
}

// Wake-ups from other threads reach SDL's event wait as X events sent to one of its windows. One
// sent just as that window closes arrives for a window that no longer exists; Xlib's default
// answer to such an error is to end the process. That error is harmless, and so is reading a
// property of a window that has gone (a window manager's check window, named on the root window
// by one that has ended), which then reads nothing: both are let go, and every other error goes
// on to the handler that was there before.
XErrorHandler previousErrorHandler = nullptr;

int letGoneWindowsGo(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && (error->request_code == X_SendEvent || error->request_code == X_GetProperty)) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

// A property of 32-bit values of the window, at most `most` of them; none where it has no such
// property (or the window has gone).
std::vector<unsigned long> longsOf(Display* display, ::Window window, const char* name, Atom type, long most) {
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, most, False, type, &actualType, &format,
                           &items, &left, &data) == Success &&
        data && actualType == type && format == 32) {
        values.resize(items);
        std::memcpy(values.data(), data, items * sizeof(unsigned long));
    }
    if (data) XFree(data);
    return values;
}

// The X display and window showing an SDL window; no display where SDL shows it otherwise.
std::pair<Display*, ::Window> x11WindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {nullptr, 0};
    return {info.info.x11.display, info.info.x11.window};
}

// Whether an EWMH window manager runs: it names on the root window a window of its own that names
// itself (_NET_SUPPORTING_WM_CHECK). One that has ended leaves the name, of a window now gone.
bool windowManagerRuns(Display* display, ::Window root) {
    auto check = longsOf(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
    return check.size() == 1 && longsOf(display, check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1) == check;
}

// Whether a window manager runs that moves windows with the pointer when asked (EWMH's
// _NET_WM_MOVERESIZE): the message is among those it supports (_NET_SUPPORTED).
bool windowManagerMovesWindows(Display* display, ::Window root) {
    if (!windowManagerRuns(display, root)) return false;
    auto supported = longsOf(display, root, "_NET_SUPPORTED", XA_ATOM, 4096);
    return std::find(supported.begin(), supported.end(), XInternAtom(display, "_NET_WM_MOVERESIZE", False)) != supported.end();
}

// SDL puts a window where the frame a window manager put around it would be, the frame's extents
// (_NET_FRAME_EXTENTS, which it reads whenever they change) less. A window manager that ends leaves
// them on the window, which has no frame then: once none runs, the window is said to have none, and
// SDL reads that at once.
void forgetTheFrameOfAGoneWindowManager(SDL_Window* window) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0 || (top | left | bottom | right) == 0) return;
    auto [display, xwindow] = x11WindowOf(window);
    if (!display || windowManagerRuns(display, DefaultRootWindow(display))) return;
    long none[4] = {0, 0, 0, 0};
    XChangeProperty(display, xwindow, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(none), 4);
    XSync(display, False);
    SDL_PumpEvents();
}

// Directions of EWMH's _NET_WM_MOVERESIZE: a move with the pointer, and the end of one.
constexpr long moveResizeMove = 8;
constexpr long moveResizeCancel = 11;

// Asks the window manager, as EWMH has it, to start moving the window with the left button, the
// point (x, y) of the screen taken as where the pointer was, or to end the move it runs.
void askWindowManagerToMove(Display* display, ::Window window, long x, long y, long direction) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "_NET_WM_MOVERESIZE", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = x;
    message.xclient.data.l[1] = y;
    message.xclient.data.l[2] = direction;
    message.xclient.data.l[3] = Button1;
    message.xclient.data.l[4] = 1;  // asked by an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
}

// A window manager that takes no end of a move from a message (icewm) ends its move when the
// button goes up on the frame it put around the window: the release that came to the window is
// told there too.
void releaseOnFrame(Display* display, ::Window window, const XButtonEvent& release) {
    ::Window root = 0, frame = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &frame, &children, &count)) return;
    if (children) XFree(children);
    XEvent up{};
    up.xbutton = release;
    if (frame == root || !XTranslateCoordinates(display, root, frame, release.x_root, release.y_root, &up.xbutton.x,
                                                &up.xbutton.y, &up.xbutton.subwindow)) {
        return;
    }
    up.xbutton.window = frame;
    XSendEvent(display, frame, False, ButtonReleaseMask, &up);
}

// The Mac key code of a navigation key or Escape; none for the keys nothing answers to.
std::optional<std::uint16_t> keyCode(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE: return NSEvent::KeyCode::escape;
        case SDLK_HOME: return NSEvent::KeyCode::home;
        case SDLK_END: return NSEvent::KeyCode::end;
        case SDLK_PAGEUP: return NSEvent::KeyCode::pageUp;
        case SDLK_PAGEDOWN: return NSEvent::KeyCode::pageDown;
        case SDLK_LEFT: return NSEvent::KeyCode::leftArrow;
        case SDLK_RIGHT: return NSEvent::KeyCode::rightArrow;
        case SDLK_DOWN: return NSEvent::KeyCode::downArrow;
        case SDLK_UP: return NSEvent::KeyCode::upArrow;
        default: return std::nullopt;
    }
}

// The desktop tells an application's windows by their class, the name of its desktop entry: the
// main bundle's identifier. SDL reads it from the environment while its video starts; returns
// whether it was set for it here (a user's own setting stands), to be taken away again once it has
// started, so that programs started later name their own windows.
bool nameWindowsAfterTheApplication() {
    auto identifier = Bundle::main()->bundleIdentifier();
    if (!identifier || identifier->empty() || std::getenv("SDL_VIDEO_X11_WMCLASS")) return false;
    return setenv("SDL_VIDEO_X11_WMCLASS", identifier->c_str(), 0) == 0;
}

// SDL joins the session and system buses as it starts, and waits on this thread for their daemons
// to answer (for input methods' text and for keeping the screen saver off, neither of which the
// windows use): a bus that hangs would hold the window up. While it starts it is shown no bus, and
// it then leaves the buses alone for good; the platform joins them itself, off the main thread.
class NoBusesForSDL {
public:
    NoBusesForSDL() {
        for (auto& [name, value] : saved_) {
            if (const char* set = std::getenv(name)) value = set;
            setenv(name, "disabled:", 1);
        }
    }
    ~NoBusesForSDL() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }
    NoBusesForSDL(const NoBusesForSDL&) = delete;
    NoBusesForSDL& operator=(const NoBusesForSDL&) = delete;

private:
    std::pair<const char*, std::optional<std::string>> saved_[2] = {{"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                                                                    {"DBUS_SYSTEM_BUS_ADDRESS", std::nullopt}};
};

// The icon the main bundle's information names, on the window for the desktop's task bar and
// window switcher: 128 pixels across, its colours not premultiplied, as the window system takes them.
void showApplicationIcon(SDL_Window* window) {
    const PropertyListValue* file = Bundle::main()->objectForInfoDictionaryKey("CFBundleIconFile");
    auto name = file ? file->stringValue() : std::nullopt;
    auto icon = name ? NSImage::named(*name) : nullptr;
    CGFloat side = icon ? std::max(icon->size().width, icon->size().height) : 0;
    if (side <= 0) return;
    cairo_surface_t* rendered = icon->renderedSurface(128 / side);
    int width = cairo_image_surface_get_width(rendered), height = cairo_image_surface_get_height(rendered);
    int stride = cairo_image_surface_get_stride(rendered);
    std::vector<Uint32> pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(cairo_image_surface_get_data(rendered) + y * stride);
        for (int x = 0; x < width; ++x) {
            Uint32 p = row[x], a = p >> 24;
            auto straight = [&](int shift) { return a ? (((p >> shift & 0xFF) * 255 + a / 2) / a) << shift : 0; };
            pixels.push_back(a << 24 | straight(16) | straight(8) | straight(0));
        }
    }
    cairo_surface_destroy(rendered);
    if (SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                                  SDL_PIXELFORMAT_ARGB8888)) {
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }
}

}  // namespace


std::shared_ptr<SDLWindowBackend> SDLWindowBackend::make(std::string& why) {
    // The window's pixels go straight to the window system (no OpenGL behind the window surface),
    // and the screen saver is the desktop's business.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Only the X11 driver: past it SDL would go on to drivers that show nothing (its offscreen
    // one) and the application would run on unseen.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // Under SDL's own error handler, which hands every error on to the one it found at start (and
    // puts that one back when it quits, before its last connection closes).
    if (static bool installed = false; !installed) {
        installed = true;
        previousErrorHandler = XSetErrorHandler(letGoneWindowsGo);
    }
    bool named = nameWindowsAfterTheApplication();
    int started = 0;
    {
        NoBusesForSDL hidden;
        started = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    if (named) unsetenv("SDL_VIDEO_X11_WMCLASS");
    if (started != 0) {
        why = SDL_GetError();
        return nullptr;
    }
    if (!X11SurfacePresenter::available()) {
        why = std::string("SDL's windows have no surface") + (*SDL_GetError() ? std::string(" (") + SDL_GetError() + ")" : "");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_Quit();
        return nullptr;
    }
    std::fprintf(stderr, "Windows are shown through SDL's x11 video driver, on its window surfaces.\n");
    auto backend = std::make_shared<SDLWindowBackend>();
    backend->started_ = true;
    backend->wakeEvent_ = SDL_RegisterEvents(1);
    SDL_Rect bounds{0, 0, 1024, 768};
    SDL_GetDisplayBounds(0, &bounds);
    SDL_Rect usable = bounds;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = bounds;
    // Sizes are pixels, and the scale is the desktop's: GDK_SCALE when set, else Xft.dpi / 96.
    backend->scale_ = scaleForX11(std::getenv("GDK_SCALE"), xftDpi());
    backend->dragThreshold_ = GtkSettings::dragThreshold().value_or(defaultDragThreshold);
    CGFloat units = backend->scale_;
    backend->screenHeight_ = bounds.h / units;
    // Screen coordinates run up from the display's bottom edge, in points.
    CGRect frame{0, 0, bounds.w / units, bounds.h / units};
    CGRect visible{(usable.x - bounds.x) / units, (bounds.h - (usable.y - bounds.y) - usable.h) / units, usable.w / units,
                   usable.h / units};
    NSScreen::setMain(std::make_shared<NSScreen>(frame, backend->scale_, visible));
    return backend;
}

SDLWindowBackend::~SDLWindowBackend() { shutdown(); }

void SDLWindowBackend::shutdown() {
    if (waiter_) std::static_pointer_cast<SDLWaiter>(waiter_)->stop();
    for (auto& [window, native] : windows_) destroy(*native);
    windows_.clear();
    for (auto& [name, cursor] : cursors_) SDL_FreeCursor(cursor);
    cursors_.clear();
    if (started_) {
        started_ = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_Quit();
    }
}

void SDLWindowBackend::destroy(Native& native) {
    // The presenter's memory goes with it: the window lets go of it first.
    if (auto owner = native.owner.lock(); owner && native.pixels) native.pixels->release(*owner);
    native.pixels.reset();
    if (native.window) SDL_DestroyWindow(native.window);
    native = Native{};
}

void SDLWindowBackend::showCurrentCursor() {
    std::string name = NSCursor::current()->name();
    if (name == shownCursor_) return;
    auto& cursor = cursors_[name];
    if (!cursor) cursor = SDL_CreateSystemCursor(name == "pointingHand" ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW);
    if (cursor) SDL_SetCursor(cursor);
    shownCursor_ = name;
}

std::shared_ptr<RunLoop::Waiter> SDLWindowBackend::waiter() {
    if (!waiter_) waiter_ = std::make_shared<SDLWaiter>(weak_from_this(), wakeEvent_);
    return waiter_;
}

SDL_Window* SDLWindowBackend::nativeWindow(const NSWindow& window) const {
    auto it = windows_.find(&window);
    return it == windows_.end() ? nullptr : it->second->window;
}

SDLWindowBackend::Native* SDLWindowBackend::nativeFor(std::uint32_t windowID) const {
    for (const auto& [window, native] : windows_) {
        if (native->window && SDL_GetWindowID(native->window) == windowID) return native.get();
    }
    return nullptr;
}

std::shared_ptr<NSWindow> SDLWindowBackend::windowFor(std::uint32_t windowID) const {
    auto* native = nativeFor(windowID);
    return native ? native->owner.lock() : nullptr;
}

void SDLWindowBackend::place(Native& native, NSWindow& window) {
    CGRect frame = window.frame();
    SDL_Rect units = unitsOf(frame, native.unitsPerPoint, screenHeight_);
    bool resized = native.placed.size != frame.size;
    bool moved = native.placed.origin != frame.origin || native.placed.size.height != frame.size.height;
    if (resized || moved) forgetTheFrameOfAGoneWindowManager(native.window);
    if (resized) SDL_SetWindowSize(native.window, units.w, units.h);
    if (moved) SDL_SetWindowPosition(native.window, units.x, units.y);
    native.placed = frame;
}

void SDLWindowBackend::show(NSWindow& window) {
    auto& native = windows_[&window];
    if (!native) {
        native = std::make_unique<Native>();
        native->owner = window.weak_from_this();
        native->unitsPerPoint = scale_;
        CGRect frame = window.frame();
        SDL_Rect units = unitsOf(frame, native->unitsPerPoint, screenHeight_);
        // No OpenGL: SDL loads no EGL or GL library for the window.
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
        if (window.level() >= NSWindow::floatingLevel) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        native->window = SDL_CreateWindow(window.title().c_str(), units.x, units.y, units.w, units.h, flags);
        if (!native->window) {
            std::fprintf(stderr, "SDL could not make a window: %s\n", SDL_GetError());
            destroy(*native);
            windows_.erase(&window);
            return;
        }
        native->pixels = std::make_unique<PixelStore>(std::make_unique<X11SurfacePresenter>(native->window));
        native->placed = frame;
        native->alwaysOnTop = window.level() >= NSWindow::floatingLevel;
        showApplicationIcon(native->window);
    }
    SDL_ShowWindow(native->window);
    SDL_RaiseWindow(native->window);
    // The window draws itself whole on the loop's next pass.
    window.setViewsNeedDisplay(true);
}

void SDLWindowBackend::hide(NSWindow& window) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    destroy(*it->second);
    windows_.erase(it);
}

void SDLWindowBackend::miniaturize(NSWindow& window) {
    if (auto* native = nativeWindow(window)) SDL_MinimizeWindow(native);
}

void SDLWindowBackend::deminiaturize(NSWindow& window) {
    if (auto* native = nativeWindow(window)) SDL_RestoreWindow(native);
}

void SDLWindowBackend::update(NSWindow& window) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    auto& native = *it->second;
    place(native, window);
    if (window.title() != SDL_GetWindowTitle(native.window)) SDL_SetWindowTitle(native.window, window.title().c_str());
    bool onTop = window.level() >= NSWindow::floatingLevel;
    if (onTop != native.alwaysOnTop) {
        SDL_SetWindowAlwaysOnTop(native.window, onTop ? SDL_TRUE : SDL_FALSE);
        native.alwaysOnTop = onTop;
    }
}

void SDLWindowBackend::display(NSWindow& window, const DirtyRegion& region) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    place(*it->second, window);
    it->second->pixels->show(window, region);
}

std::shared_ptr<CGContext> SDLWindowBackend::makeBackingStore(NSWindow& window, std::size_t width, std::size_t height) {
    auto it = windows_.find(&window);
    return it == windows_.end() ? nullptr : it->second->pixels->makeBackingStore(width, height);
}

std::shared_ptr<CGContext> SDLWindowBackend::nextBackingStore(NSWindow& window) {
    auto it = windows_.find(&window);
    return it == windows_.end() ? nullptr : it->second->pixels->nextBackingStore();
}

bool SDLWindowBackend::moveWithPointer(NSWindow& window, CGPoint from) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return false;
    auto& native = *it->second;
    auto [display, xwindow] = x11WindowOf(native.window);
    if (!display) return false;
    SDL_PumpEvents();
    SDL_Event queued[16];
    int count = SDL_PeepEvents(queued, 16, SDL_PEEKEVENT, SDL_MOUSEBUTTONUP, SDL_MOUSEBUTTONUP);
    bool released = std::any_of(queued, queued + std::max(count, 0), [](const SDL_Event& e) { return e.button.button == SDL_BUTTON_LEFT; });
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, &x, &y, &buttons)) return false;
    // Whatever ends the move, the window system's events tell it as they came (SDL's own events do
    // not tell a real release from the one sent here below).
    move_ = PointerMove{SDL_GetWindowID(native.window), from, false};
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    // The window goes first as far as the pointer went since the press: a window manager moves it
    // only as the pointer moves on from where it takes the move, so that a release right past the
    // threshold would leave it where it was.
    placeUnderPointer(native, from, rootX, rootY);
    // The window follows the pointer itself until the left button goes up where the button is up
    // already (a window manager asked to move a window whose button is up moves it with the
    // pointer until the next click) or no window manager that moves windows runs (none at all, as
    // in a kiosk; asked at each move, since one may start or end while the application runs).
    // SDL leaves out a move that keeps the pointer where it was in the window, as they all do
    // while the window follows it, and the moves it has queued count from where the window was:
    // the X server's own moves of the pointer, from the screen's corner, move it instead.
    if (released || !(buttons & Button1Mask) || !windowManagerMovesWindows(display, root)) return true;
    // Where the window manager put the window (SDL waited for it to move), which may be short of
    // where it was asked to go (icewm keeps a window within its work area), and whether the button
    // is down still.
    if (!XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, &x, &y, &buttons)) return true;
    if (!(buttons & Button1Mask)) {
        placeUnderPointer(native, from, rootX, rootY);
        return true;
    }
    // The window manager takes the pointer (the press's grab is let go) and the move from the
    // point pressed, where the window is now: the pointer's moves count from there, so that the
    // part of the way the window was kept from going is made up on the next one.
    XUngrabPointer(display, CurrentTime);
    CGFloat units = native.unitsPerPoint;
    askWindowManagerToMove(display, xwindow, rootX - x + std::lround(from.x * units),
                           rootY - y + std::lround((window.frame().height() - from.y) * units), moveResizeMove);
    move_->handedOver = true;
    // The release goes to the window manager: the window is told of it now, so that the press ends
    // here too and the next press counts as one.
    XEvent release{};
    release.xbutton.type = ButtonRelease;
    release.xbutton.window = xwindow;
    release.xbutton.root = root;
    release.xbutton.time = CurrentTime;
    release.xbutton.x = x;
    release.xbutton.y = y;
    release.xbutton.x_root = rootX;
    release.xbutton.y_root = rootY;
    release.xbutton.state = Button1Mask;
    release.xbutton.button = Button1;
    release.xbutton.same_screen = True;
    XSendEvent(display, xwindow, False, ButtonReleaseMask, &release);
    XFlush(display);
    return true;
}

CGFloat SDLWindowBackend::scaleForX11(const char* gdkScale, std::optional<double> xftDpi) {
    if (gdkScale && *gdkScale) {
        char* end = nullptr;
        double scale = std::strtod(gdkScale, &end);
        if (end != gdkScale && scale >= 1) return std::min(scale, 4.0);
    }
    if (xftDpi) return std::clamp(*xftDpi / 96.0, 1.0, 4.0);
    return 1;
}

void SDLWindowBackend::activate() {
    if (auto key = NSApplication::shared().keyWindow()) {
        if (auto* native = nativeWindow(*key)) SDL_RaiseWindow(native);
    }
}

int SDLWindowBackend::pumpEvents() {
    int count = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handle(event);
        ++count;
    }
    return count;
}

NSEvent SDLWindowBackend::mouse(NSWindow& window, NSEvent::EventType type, int x, int y) const {
    NSEvent e;
    e.type = type;
    e.locationInWindow = CGPoint{CGFloat(x) / scale_, window.frame().height() - CGFloat(y) / scale_};
    e.timestamp = SDL_GetTicks64() / 1000.0;
    e.window = window.weak_from_this();
    return e;
}

void SDLWindowBackend::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION: mouseMoved(event.motion); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: mouseButton(event.button); break;
        case SDL_MOUSEWHEEL: {
            auto window = windowFor(event.wheel.windowID);
            if (!window) break;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            auto e = mouse(*window, NSEvent::EventType::scrollWheel, x, y);
            // SDL counts notches; a touchpad's amounts are ten of its units a notch.
            e.setWheelNotches(event.wheel.preciseX, event.wheel.preciseY, 10);
            window->sendEvent(e);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: key(event.key); break;
        case SDL_WINDOWEVENT: windowEvent(event.window); break;
        case SDL_SYSWMEVENT: systemEvent(*event.syswm.msg); break;
        case SDL_QUIT: quit(); break;
        default: break;
    }
}

void SDLWindowBackend::mouseMoved(const SDL_MouseMotionEvent& event) {
    auto window = windowFor(event.windowID);
    if (!window) return;
    NSEvent::EventType type = (event.state & SDL_BUTTON_LMASK)   ? NSEvent::EventType::leftMouseDragged
                              : (event.state & SDL_BUTTON_RMASK) ? NSEvent::EventType::rightMouseDragged
                                                                 : NSEvent::EventType::mouseMoved;
    window->sendEvent(mouse(*window, type, event.x, event.y));
    showCurrentCursor();
}

void SDLWindowBackend::placeUnderPointer(Native& native, CGPoint from, int rootX, int rootY) {
    auto window = native.owner.lock();
    if (!window) return;
    CGFloat units = native.unitsPerPoint;
    window->setFrameOrigin(CGPoint{rootX / units - from.x, screenHeight_ - rootY / units - from.y});
}

void SDLWindowBackend::systemEvent(const SDL_SysWMmsg& message) {
    if (!move_ || message.subsystem != SDL_SYSWM_X11) return;
    const XEvent& event = message.msg.x11.event;
    auto* native = nativeFor(move_->windowID);
    if (!native) return endMove();
    auto [display, xwindow] = x11WindowOf(native->window);
    switch (event.type) {
        case GenericEvent: {
            // SDL has the pointer's moves told through the X server's input extension, and keeps
            // what those events hold to itself: where the pointer is now is asked instead. (Core
            // moves come only while a core grab holds the pointer.)
            if (move_->handedOver) break;
            ::Window root = 0, child = 0;
            int rootX = 0, rootY = 0, x = 0, y = 0;
            unsigned int buttons = 0;
            if (!XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, &x, &y, &buttons)) break;
            if (buttons & Button1Mask) {
                placeUnderPointer(*native, move_->from, rootX, rootY);
            } else {
                endMove();
            }
            break;
        }
        case MotionNotify:
            if (event.xmotion.window != xwindow) break;
            if (!(event.xmotion.state & Button1Mask)) {
                endMove();
            } else if (!move_->handedOver) {
                placeUnderPointer(*native, move_->from, event.xmotion.x_root, event.xmotion.y_root);
            }
            break;
        case ButtonRelease:
            // The release came here, not to the window manager the move was handed to: it had not
            // taken the pointer yet, and would move the window with it until the next click. It is
            // told that the move is over, and the window goes where the button went up.
            if (event.xbutton.window != xwindow || event.xbutton.send_event || event.xbutton.button != Button1 ||
                !move_->handedOver) {
                break;
            }
            askWindowManagerToMove(display, xwindow, event.xbutton.x_root, event.xbutton.y_root, moveResizeCancel);
            releaseOnFrame(display, xwindow, event.xbutton);
            XFlush(display);
            placeUnderPointer(*native, move_->from, event.xbutton.x_root, event.xbutton.y_root);
            endMove();
            break;
        case ButtonPress:
            // A press begins anew.
            if (!event.xbutton.send_event) endMove();
            break;
        default: break;
    }
}

void SDLWindowBackend::endMove() {
    move_.reset();
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
}

void SDLWindowBackend::mouseButton(const SDL_MouseButtonEvent& event) {
    if (move_ && !move_->handedOver && event.button == SDL_BUTTON_LEFT && event.type == SDL_MOUSEBUTTONUP) endMove();
    auto window = windowFor(event.windowID);
    if (!window) return;
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    NSEvent::EventType type;
    if (event.button == SDL_BUTTON_LEFT) {
        type = down ? NSEvent::EventType::leftMouseDown : NSEvent::EventType::leftMouseUp;
    } else if (event.button == SDL_BUTTON_RIGHT) {
        type = down ? NSEvent::EventType::rightMouseDown : NSEvent::EventType::rightMouseUp;
    } else {
        return;
    }
    auto e = mouse(*window, type, event.x, event.y);
    e.clickCount = event.clicks;
    window->sendEvent(e);
}

void SDLWindowBackend::key(const SDL_KeyboardEvent& event) {
    auto code = keyCode(event.keysym.sym);
    // Keys reach the window with the keyboard focus, or the key window when the window system
    // names none.
    auto window = windowFor(event.windowID);
    if (!window) window = NSApplication::shared().keyWindow();
    if (!code || !window) return;
    NSEvent e;
    e.type = event.type == SDL_KEYDOWN ? NSEvent::EventType::keyDown : NSEvent::EventType::keyUp;
    e.keyCode = *code;
    e.timestamp = SDL_GetTicks64() / 1000.0;
    e.window = window;
    window->sendEvent(e);
}

void SDLWindowBackend::windowEvent(const SDL_WindowEvent& event) {
    auto* native = nativeFor(event.windowID);
    auto window = native ? native->owner.lock() : nullptr;
    if (!window) return;
    switch (event.event) {
        case SDL_WINDOWEVENT_LEAVE: window->sendEvent(mouse(*window, NSEvent::EventType::mouseExited, -1, -1)); break;
        case SDL_WINDOWEVENT_CLOSE: window->performClose(nullptr); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: native->pixels->resized(*window, event.data1, event.data2); break;
        // The window system lost the pixels: they come again from the store.
        case SDL_WINDOWEVENT_EXPOSED: native->pixels->showAll(*window); break;
        case SDL_WINDOWEVENT_MOVED: {
            // Moved by the window system (a move handed to it): the frame follows.
            CGRect frame = window->frame();
            CGFloat units = native->unitsPerPoint;
            CGPoint origin{event.data1 / units, screenHeight_ - event.data2 / units - frame.height()};
            native->placed.origin = origin;
            window->setFrameOrigin(origin);
            break;
        }
        // Iconified or brought back by the window system (its task bar, a key).
        case SDL_WINDOWEVENT_MINIMIZED: window->miniaturize(); break;
        case SDL_WINDOWEVENT_RESTORED: window->deminiaturize(); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!window->isKeyWindow()) window->makeKeyWindow();
            break;
        default: break;
    }
}

void SDLWindowBackend::quit() { NSApplication::shared().terminate(nullptr); }
