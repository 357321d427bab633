#include "AppKit/backends/SDLWindowBackend.hpp"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xresource.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
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
#include "CoreGraphics/CGContext.hpp"
#include "Foundation/Bundle.hpp"

struct SDLWindowBackend::Native {
    SDL_Window* window = nullptr;
    std::weak_ptr<NSWindow> owner;
    CGRect placed;             // the frame last given to SDL
    bool alwaysOnTop = false;
    CGFloat unitsPerPoint = 1;  // the window system's units (X11: pixels) per point
    // Where the driver has no window surface: a renderer showing a texture of the window's pixels.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    // Elsewhere the window draws straight into the window surface's pixels, while it has the size
    // it had when they were lent.
    void* lentPixels = nullptr;
    int lentWidth = 0, lentHeight = 0;
};

namespace {

// SDL's hit test: presses that move the window are handed to the window system.
SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* area, void* data) {
    auto* native = static_cast<SDLWindowBackend::Native*>(data);
    auto window = native->owner.lock();
    if (!window) return SDL_HITTEST_NORMAL;
    CGPoint point{CGFloat(area->x) / native->unitsPerPoint, window->frame().height() - CGFloat(area->y) / native->unitsPerPoint};
    return window->isDraggableAt(point) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
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

// The scale a Wayland compositor gives a window: its pixels per unit of its size.
CGFloat waylandScale() {
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 100, 100, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_BORDERLESS);
    if (!probe) return 1;
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(probe, &w, &h);
    SDL_GetWindowSizeInPixels(probe, &pw, &ph);
    SDL_DestroyWindow(probe);
    return w > 0 && pw > 0 ? CGFloat(pw) / CGFloat(w) : 1;
}

// How the windows' pixels reach the screen: the window surface where the driver offers one (X11:
// the pixels go to the server as they are), else a renderer with a texture of the window's pixel
// size (SDL's Wayland driver has no window surface without OpenGL behind it). Tried on a hidden
// window; none when neither works, with SDL's reason.
std::optional<bool> presentsThroughRenderer(std::string& why) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 64, 64, flags);
    bool surface = probe && SDL_GetWindowSurface(probe);
    if (probe) SDL_DestroyWindow(probe);
    if (surface) return false;
    probe = SDL_CreateWindow("", 0, 0, 64, 64, flags | SDL_WINDOW_OPENGL);
    SDL_Renderer* renderer = probe ? SDL_CreateRenderer(probe, -1, 0) : nullptr;
    if (!renderer) why = SDL_GetError();
    if (renderer) SDL_DestroyRenderer(renderer);
    if (probe) SDL_DestroyWindow(probe);
    if (!renderer) return std::nullopt;
    return true;
}

// Wake-ups from other threads reach SDL's event wait as X events sent to one of its windows. One
// sent just as that window closes arrives for a window that no longer exists; Xlib's default
// answer to such an error is to end the process. That one error is harmless: it is let go, and
// every other error goes on to the handler that was there before.
XErrorHandler previousErrorHandler = nullptr;

int letLateWakeUpsGo(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

// The Mac key code of a navigation key; none for the keys no view answers to.
std::optional<std::uint16_t> keyCode(SDL_Keycode key) {
    switch (key) {
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

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// SDL's drivers for the displays the environment names: X11 first, as SDL itself prefers it.
std::string displayDrivers() {
    if (isSet("DISPLAY") && isSet("WAYLAND_DISPLAY")) return "x11,wayland";
    if (isSet("WAYLAND_DISPLAY")) return "wayland";
    if (isSet("DISPLAY")) return "x11";
    return "x11,wayland";
}

// The displays the environment names, for messages: "the display :0 (DISPLAY)".
std::string displayNames() {
    std::string names;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!isSet(variable)) continue;
        names += std::string(names.empty() ? "the display " : " or the display ") + std::getenv(variable) + " (" + variable + ")";
    }
    return names.empty() ? "any display (neither DISPLAY nor WAYLAND_DISPLAY is set)" : names;
}

class SDLWaiter final : public RunLoop::Waiter {
public:
    SDLWaiter(std::weak_ptr<SDLWindowBackend> backend, std::uint32_t wakeEvent) : backend_(std::move(backend)), wakeEvent_(wakeEvent) {}

    void wait(std::optional<double> timeout) override {
        auto backend = backend_.lock();
        if (!backend) return;
        if (!backend->hasWindows()) {
            sleep(timeout);
            backend->pumpEvents();
            return;
        }
        SDL_Event event;
        int got = 0;
        if (timeout) {
            int ms = static_cast<int>(std::ceil(std::max(0.0, *timeout) * 1000));
            got = SDL_WaitEventTimeout(&event, ms);
        } else {
            got = SDL_WaitEvent(&event);
        }
        {
            std::lock_guard lock(mutex_);
            woken_ = false;
        }
        if (got) backend->handle(event);
        backend->pumpEvents();
    }

    void wake() override {
        // Held while SDL sends the wake-up, so that once stop() has returned no wake-up can reach
        // a window that is being destroyed.
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        woken_ = true;
        SDL_Event event{};
        event.type = wakeEvent_;
        SDL_PushEvent(&event);
        wakeUp_.notify_all();
    }

    /// No more wake-ups: the windows are about to go.
    void stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }

private:
    // Without a window SDL's wait polls every millisecond; the loop sleeps here instead, until
    // woken or its time is up. A second at most: SDL turns the termination signals into its quit
    // event only when asked for events.
    void sleep(std::optional<double> timeout) {
        double seconds = std::clamp(timeout.value_or(1.0), 0.0, 1.0);
        std::unique_lock lock(mutex_);
        wakeUp_.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return woken_; });
        woken_ = false;
    }

    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool woken_ = false;
    bool stopped_ = false;
    std::weak_ptr<SDLWindowBackend> backend_;
    std::uint32_t wakeEvent_;
};

// The desktop tells an application's windows by their class (X11) or app id (Wayland), the name of
// its desktop entry: the main bundle's identifier. SDL reads both from the environment while its
// video starts; returns the variables set for it here (a user's own setting stands), to be taken
// away again once it has started, so that programs started later name their own windows.
std::vector<const char*> nameWindowsAfterTheApplication() {
    std::vector<const char*> set;
    auto identifier = Bundle::main()->bundleIdentifier();
    if (!identifier || identifier->empty()) return set;
    for (const char* name : {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"}) {
        if (!std::getenv(name) && setenv(name, identifier->c_str(), 0) == 0) set.push_back(name);
    }
    return set;
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

std::shared_ptr<SDLWindowBackend> SDLWindowBackend::make() {
    // The window's pixels go straight to the window system (no OpenGL behind the window surface),
    // and the screen saver is the desktop's business.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The windows draw their own title bars: no decorations from the compositor's side either.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // Only the drivers of the displays named (both without a name): past them SDL would go on to
    // drivers that show nothing (its offscreen one) and the application would run on unseen.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, displayDrivers().c_str());
    // Under SDL's own error handler, which hands every error on to the one it found at start (and
    // puts that one back when it quits, before its last connection closes).
    if (static bool installed = false; !installed && isSet("DISPLAY")) {
        installed = true;
        previousErrorHandler = XSetErrorHandler(letLateWakeUpsGo);
    }
    auto named = nameWindowsAfterTheApplication();
    int started = 0;
    {
        NoBusesForSDL hidden;
        started = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    for (const char* name : named) unsetenv(name);
    if (started != 0) {
        std::fprintf(stderr, "No window can be opened on %s: %s.\n", displayNames().c_str(), SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    std::string driverName = driver ? driver : "";
    if (driverName != "x11" && driverName != "wayland") {
        std::fprintf(stderr, "No window can be opened on %s: SDL offers only its \"%s\" video driver.\n", displayNames().c_str(),
                     driverName.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_Quit();
        return nullptr;
    }
    std::string why;
    auto throughRenderer = presentsThroughRenderer(why);
    if (!throughRenderer) {
        std::fprintf(stderr, "No window can be shown on %s: SDL's %s driver has neither a window surface nor a renderer (%s).\n",
                     displayNames().c_str(), driverName.c_str(), why.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_Quit();
        return nullptr;
    }
    std::fprintf(stderr, "Windows are shown through SDL's %s video driver, %s.\n", driverName.c_str(),
                 *throughRenderer ? "with a renderer" : "on its window surfaces");
    auto backend = std::make_shared<SDLWindowBackend>();
    backend->started_ = true;
    backend->throughRenderer_ = *throughRenderer;
    backend->wakeEvent_ = SDL_RegisterEvents(1);
    SDL_Rect bounds{0, 0, 1024, 768};
    SDL_GetDisplayBounds(0, &bounds);
    SDL_Rect usable = bounds;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = bounds;
    // Wayland sizes windows in the compositor's units and gives them its scale in pixels; on X11
    // sizes are pixels, and the scale is the desktop's: GDK_SCALE when set, else Xft.dpi / 96.
    bool wayland = driverName == "wayland";
    backend->scale_ = wayland ? waylandScale() : scaleForX11(std::getenv("GDK_SCALE"), xftDpi());
    backend->unitsPerPoint_ = wayland ? 1 : backend->scale_;
    CGFloat units = backend->unitsPerPoint_;
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
    // The surface goes with the window: the window lets go of its pixels first.
    if (auto owner = native.owner.lock(); owner && native.lentPixels) owner->discardBackingStore();
    if (native.texture) SDL_DestroyTexture(native.texture);
    if (native.renderer) SDL_DestroyRenderer(native.renderer);
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

void SDLWindowBackend::place(Native& native, NSWindow& window) {
    CGRect frame = window.frame();
    CGFloat units = native.unitsPerPoint;
    int w = std::max(1, static_cast<int>(std::lround(frame.width() * units)));
    int h = std::max(1, static_cast<int>(std::lround(frame.height() * units)));
    int x = static_cast<int>(std::lround(frame.minX() * units));
    int y = static_cast<int>(std::lround((screenHeight_ - frame.maxY()) * units));
    if (native.placed.size != frame.size) SDL_SetWindowSize(native.window, w, h);
    if (native.placed.origin != frame.origin || native.placed.size.height != frame.size.height) SDL_SetWindowPosition(native.window, x, y);
    native.placed = frame;
}

void SDLWindowBackend::show(NSWindow& window) {
    auto& native = windows_[&window];
    if (!native) {
        native = std::make_unique<Native>();
        native->owner = window.weak_from_this();
        native->unitsPerPoint = unitsPerPoint_;
        CGRect frame = window.frame();
        CGFloat units = native->unitsPerPoint;
        int w = std::max(1, static_cast<int>(std::lround(frame.width() * units)));
        int h = std::max(1, static_cast<int>(std::lround(frame.height() * units)));
        int x = static_cast<int>(std::lround(frame.minX() * units));
        int y = static_cast<int>(std::lround((screenHeight_ - frame.maxY()) * units));
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
        if (window.level() >= NSWindow::floatingLevel) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        if (throughRenderer_) flags |= SDL_WINDOW_OPENGL;
        native->window = SDL_CreateWindow(window.title().c_str(), x, y, w, h, flags);
        if (native->window && throughRenderer_) native->renderer = SDL_CreateRenderer(native->window, -1, 0);
        if (!native->window || (throughRenderer_ && !native->renderer)) {
            std::fprintf(stderr, "SDL could not make a window: %s\n", SDL_GetError());
            destroy(*native);
            windows_.erase(&window);
            return;
        }
        native->placed = frame;
        native->alwaysOnTop = window.level() >= NSWindow::floatingLevel;
        SDL_SetWindowHitTest(native->window, hitTest, native.get());
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
    auto& native = *it->second;
    place(native, window);
    upload(native, window, region);
}

std::shared_ptr<CGContext> SDLWindowBackend::makeBackingStore(NSWindow& window, std::size_t width, std::size_t height) {
    auto it = windows_.find(&window);
    if (it == windows_.end() || it->second->renderer) return nullptr;
    auto& native = *it->second;
    native.lentPixels = nullptr;
    // The surface is made anew here when the window's size changed (the old one is freed).
    SDL_Surface* surface = SDL_GetWindowSurface(native.window);
    if (!surface || SDL_MUSTLOCK(surface) || surface->w != int(width) || surface->h != int(height) ||
        (surface->format->format != SDL_PIXELFORMAT_RGB888 && surface->format->format != SDL_PIXELFORMAT_ARGB8888)) {
        return nullptr;
    }
    // Cairo's ARGB32 is these pixels' layout; an X server without alpha takes no notice of it.
    auto store = CGContext::makeBitmap(surface->pixels, width, height, 8, std::size_t(surface->pitch), CGColorSpace::deviceRGB,
                                       CGBitmapInfo{CGImageAlphaInfo::premultipliedFirst, true});
    if (!store) return nullptr;
    native.lentPixels = surface->pixels;
    native.lentWidth = surface->w;
    native.lentHeight = surface->h;
    return store;
}

void SDLWindowBackend::upload(Native& native, NSWindow& window, const DirtyRegion& region) {
    const auto& pixels = window.backingStore();
    if (!pixels) return;
    // Only the rectangles that changed are handed to the window system, in pixels from the
    // top-left corner.
    CGFloat scale = window.backingScaleFactor();
    int width = int(pixels->width()), height = int(pixels->height());
    CGFloat top = window.frame().height();
    std::vector<SDL_Rect> rects;
    for (const auto& r : region.rects()) {
        int x0 = std::clamp(int(std::floor(r.minX() * scale)), 0, width), x1 = std::clamp(int(std::ceil(r.maxX() * scale)), 0, width);
        int y0 = std::clamp(int(std::floor((top - r.maxY()) * scale)), 0, height);
        int y1 = std::clamp(int(std::ceil((top - r.minY()) * scale)), 0, height);
        if (x1 > x0 && y1 > y0) rects.push_back(SDL_Rect{x0, y0, x1 - x0, y1 - y0});
    }
    if (rects.empty()) return;
    if (native.renderer) {
        render(native, *pixels, std::move(rects));
    } else if (pixels->data() == native.lentPixels) {
        SDL_UpdateWindowSurfaceRects(native.window, rects.data(), int(rects.size()));
    } else {
        copyToSurface(native, *pixels, std::move(rects));
    }
}

void SDLWindowBackend::copyToSurface(Native& native, CGContext& pixels, std::vector<SDL_Rect> rects) {
    SDL_Surface* surface = SDL_GetWindowSurface(native.window);
    if (!surface) return;
    for (auto& r : rects) {
        r.w = std::max(0, std::min(r.x + r.w, surface->w) - r.x);
        r.h = std::max(0, std::min(r.y + r.h, surface->h) - r.y);
    }
    std::erase_if(rects, [](const SDL_Rect& r) { return r.w <= 0 || r.h <= 0; });
    if (rects.empty()) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const auto* source = static_cast<const std::uint8_t*>(pixels.data());
    auto* target = static_cast<std::uint8_t*>(surface->pixels);
    int bytes = surface->format->BytesPerPixel;
    for (const auto& r : rects) {
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_ARGB8888, source + std::size_t(r.y) * pixels.bytesPerRow() + std::size_t(r.x) * 4,
                          int(pixels.bytesPerRow()), surface->format->format,
                          target + std::size_t(r.y) * std::size_t(surface->pitch) + std::size_t(r.x) * std::size_t(bytes), surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurfaceRects(native.window, rects.data(), int(rects.size()));
}

void SDLWindowBackend::render(Native& native, CGContext& pixels, std::vector<SDL_Rect> rects) {
    int width = int(pixels.width()), height = int(pixels.height());
    if (!native.texture || native.textureWidth != width || native.textureHeight != height) {
        // The texture has the window's pixel size, whatever the compositor's scale; made anew,
        // it takes the whole picture. Opaque as on X11: what the pixels' alpha says is not used.
        if (native.texture) SDL_DestroyTexture(native.texture);
        native.texture = SDL_CreateTexture(native.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STATIC, width, height);
        if (!native.texture) return;
        native.textureWidth = width;
        native.textureHeight = height;
        rects = {SDL_Rect{0, 0, width, height}};
    }
    const auto* source = static_cast<const std::uint8_t*>(pixels.data());
    for (const auto& r : rects) {
        SDL_UpdateTexture(native.texture, &r, source + std::size_t(r.y) * pixels.bytesPerRow() + std::size_t(r.x) * 4,
                          int(pixels.bytesPerRow()));
    }
    SDL_Rect whole{0, 0, width, height};
    SDL_RenderClear(native.renderer);
    SDL_RenderCopy(native.renderer, native.texture, nullptr, &whole);
    SDL_RenderPresent(native.renderer);
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

void SDLWindowBackend::handle(const SDL_Event& event) {
    auto windowFor = [&](std::uint32_t id) -> std::shared_ptr<NSWindow> {
        auto* native = nativeFor(id);
        return native ? native->owner.lock() : nullptr;
    };
    auto mouse = [units = unitsPerPoint_](NSWindow& window, NSEvent::EventType type, int x, int y) {
        NSEvent e;
        e.type = type;
        e.locationInWindow = CGPoint{CGFloat(x) / units, window.frame().height() - CGFloat(y) / units};
        e.timestamp = SDL_GetTicks64() / 1000.0;
        e.window = window.weak_from_this();
        return e;
    };
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            auto window = windowFor(event.motion.windowID);
            if (!window) break;
            NSEvent::EventType type = (event.motion.state & SDL_BUTTON_LMASK)   ? NSEvent::EventType::leftMouseDragged
                                      : (event.motion.state & SDL_BUTTON_RMASK) ? NSEvent::EventType::rightMouseDragged
                                                                                : NSEvent::EventType::mouseMoved;
            window->sendEvent(mouse(*window, type, event.motion.x, event.motion.y));
            showCurrentCursor();
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            auto window = windowFor(event.button.windowID);
            if (!window) break;
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            NSEvent::EventType type;
            if (event.button.button == SDL_BUTTON_LEFT) {
                type = down ? NSEvent::EventType::leftMouseDown : NSEvent::EventType::leftMouseUp;
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                type = down ? NSEvent::EventType::rightMouseDown : NSEvent::EventType::rightMouseUp;
            } else {
                break;
            }
            auto e = mouse(*window, type, event.button.x, event.button.y);
            e.clickCount = event.button.clicks;
            window->sendEvent(e);
            break;
        }
        case SDL_MOUSEWHEEL: {
            auto window = windowFor(event.wheel.windowID);
            if (!window) break;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            auto e = mouse(*window, NSEvent::EventType::scrollWheel, x, y);
            e.scrollingDeltaX = event.wheel.preciseX;
            e.scrollingDeltaY = event.wheel.preciseY;
            window->sendEvent(e);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            auto code = keyCode(event.key.keysym.sym);
            // Keys reach the window with the keyboard focus, or the key window when the window
            // system names none.
            auto window = windowFor(event.key.windowID);
            if (!window) window = NSApplication::shared().keyWindow();
            if (!code || !window) break;
            NSEvent e;
            e.type = event.type == SDL_KEYDOWN ? NSEvent::EventType::keyDown : NSEvent::EventType::keyUp;
            e.keyCode = *code;
            e.timestamp = SDL_GetTicks64() / 1000.0;
            e.window = window;
            window->sendEvent(e);
            break;
        }
        case SDL_WINDOWEVENT: {
            auto* native = nativeFor(event.window.windowID);
            auto window = native ? native->owner.lock() : nullptr;
            if (!window) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_LEAVE: window->sendEvent(mouse(*window, NSEvent::EventType::mouseExited, -1, -1)); break;
                case SDL_WINDOWEVENT_CLOSE: window->performClose(nullptr); break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    // The surface is made anew at the new size: a window drawing into the old one
                    // lets it go and draws everything into the new one on the loop's next pass; one
                    // that already draws into the new one drew all of it there and showed it.
                    if (native->lentPixels) {
                        if (event.window.data1 != native->lentWidth || event.window.data2 != native->lentHeight) {
                            native->lentPixels = nullptr;
                            window->discardBackingStore();
                        }
                        break;
                    }
                    [[fallthrough]];
                case SDL_WINDOWEVENT_EXPOSED:
                    // The window system lost the pixels, or the surface was made anew at the new
                    // size: they come again from the backing store, or through a renderer from the
                    // texture that still holds them.
                    if (!window->backingStore()) break;
                    if (native->renderer) {
                        render(*native, *window->backingStore(), {});
                    } else {
                        upload(*native, *window, DirtyRegion(CGRect{CGPoint{}, window->frame().size}));
                    }
                    break;
                case SDL_WINDOWEVENT_MOVED: {
                    // Moved by the window system (a drag through the hit test): the frame follows.
                    CGRect frame = window->frame();
                    CGFloat units = native->unitsPerPoint;
                    CGPoint origin{event.window.data1 / units, screenHeight_ - event.window.data2 / units - frame.height()};
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
            break;
        }
        case SDL_QUIT: NSApplication::shared().terminate(nullptr); break;
        default: break;
    }
}
