#include "AppKit/backends/SDLWindowBackend.hpp"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSCursor.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"

struct SDLWindowBackend::Native {
    SDL_Window* window = nullptr;
    std::weak_ptr<NSWindow> owner;
    CGRect placed;             // the frame last given to SDL
    bool alwaysOnTop = false;
};

namespace {

// SDL's hit test: presses that move the window are handed to the window system.
SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* area, void* data) {
    auto* owner = static_cast<std::weak_ptr<NSWindow>*>(data);
    auto window = owner->lock();
    if (!window) return SDL_HITTEST_NORMAL;
    CGPoint point{CGFloat(area->x), window->frame().height() - CGFloat(area->y)};
    return window->isDraggableAt(point) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
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

class SDLWaiter final : public RunLoop::Waiter {
public:
    SDLWaiter(std::weak_ptr<SDLWindowBackend> backend, std::uint32_t wakeEvent) : backend_(std::move(backend)), wakeEvent_(wakeEvent) {}

    void wait(std::optional<double> timeout) override {
        SDL_Event event;
        int got = 0;
        if (timeout) {
            int ms = static_cast<int>(std::ceil(std::max(0.0, *timeout) * 1000));
            got = SDL_WaitEventTimeout(&event, ms);
        } else {
            got = SDL_WaitEvent(&event);
        }
        auto backend = backend_.lock();
        if (!backend) return;
        if (got) backend->handle(event);
        backend->pumpEvents();
    }

    void wake() override {
        // Held while SDL sends the wake-up, so that once stop() has returned no wake-up can reach
        // a window that is being destroyed.
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        SDL_Event event{};
        event.type = wakeEvent_;
        SDL_PushEvent(&event);
    }

    /// No more wake-ups: the windows are about to go.
    void stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }

private:
    std::mutex mutex_;
    bool stopped_ = false;
    std::weak_ptr<SDLWindowBackend> backend_;
    std::uint32_t wakeEvent_;
};

}  // namespace

std::shared_ptr<SDLWindowBackend> SDLWindowBackend::make() {
    // The window's pixels go straight to the window system (no OpenGL behind the window surface),
    // and the screen saver is the desktop's business.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Under SDL's own error handler, which hands every error on to the one it found at start (and
    // puts that one back when it quits, before its last connection closes).
    if (static bool installed = false; !installed && std::getenv("DISPLAY")) {
        installed = true;
        previousErrorHandler = XSetErrorHandler(letLateWakeUpsGo);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
        return nullptr;
    }
    auto backend = std::make_shared<SDLWindowBackend>();
    backend->started_ = true;
    backend->wakeEvent_ = SDL_RegisterEvents(1);
    SDL_Rect bounds{0, 0, 1024, 768};
    SDL_GetDisplayBounds(0, &bounds);
    SDL_Rect usable = bounds;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = bounds;
    backend->screenHeight_ = bounds.h;
    // Screen coordinates run up from the display's bottom edge.
    CGRect frame{0, 0, CGFloat(bounds.w), CGFloat(bounds.h)};
    CGRect visible{CGFloat(usable.x - bounds.x), CGFloat(bounds.h - (usable.y - bounds.y) - usable.h), CGFloat(usable.w),
                   CGFloat(usable.h)};
    NSScreen::setMain(std::make_shared<NSScreen>(frame, 1.0, visible));
    return backend;
}

SDLWindowBackend::~SDLWindowBackend() { shutdown(); }

void SDLWindowBackend::shutdown() {
    if (waiter_) std::static_pointer_cast<SDLWaiter>(waiter_)->stop();
    for (auto& [window, native] : windows_) {
        if (native->window) SDL_DestroyWindow(native->window);
    }
    windows_.clear();
    for (auto& [name, cursor] : cursors_) SDL_FreeCursor(cursor);
    cursors_.clear();
    if (started_) {
        started_ = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_Quit();
    }
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
    int w = std::max(1, static_cast<int>(std::lround(frame.width())));
    int h = std::max(1, static_cast<int>(std::lround(frame.height())));
    int x = static_cast<int>(std::lround(frame.minX()));
    int y = static_cast<int>(std::lround(screenHeight_ - frame.maxY()));
    if (native.placed.size != frame.size) SDL_SetWindowSize(native.window, w, h);
    if (native.placed.origin != frame.origin || native.placed.size.height != frame.size.height) SDL_SetWindowPosition(native.window, x, y);
    native.placed = frame;
}

void SDLWindowBackend::show(NSWindow& window) {
    auto& native = windows_[&window];
    if (!native) {
        native = std::make_unique<Native>();
        native->owner = window.weak_from_this();
        CGRect frame = window.frame();
        int w = std::max(1, static_cast<int>(std::lround(frame.width())));
        int h = std::max(1, static_cast<int>(std::lround(frame.height())));
        int x = static_cast<int>(std::lround(frame.minX()));
        int y = static_cast<int>(std::lround(screenHeight_ - frame.maxY()));
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
        if (window.level() >= NSWindow::floatingLevel) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        native->window = SDL_CreateWindow(window.title().c_str(), x, y, w, h, flags);
        if (!native->window) {
            std::fprintf(stderr, "SDL could not make a window: %s\n", SDL_GetError());
            windows_.erase(&window);
            return;
        }
        native->placed = frame;
        native->alwaysOnTop = window.level() >= NSWindow::floatingLevel;
        SDL_SetWindowHitTest(native->window, hitTest, &native->owner);
    }
    SDL_ShowWindow(native->window);
    SDL_RaiseWindow(native->window);
    display(window);
}

void SDLWindowBackend::hide(NSWindow& window) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    if (it->second->window) SDL_DestroyWindow(it->second->window);
    windows_.erase(it);
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

void SDLWindowBackend::display(NSWindow& window) {
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    auto& native = *it->second;
    place(native, window);
    auto image = window.image(1.0);
    SDL_Surface* surface = SDL_GetWindowSurface(native.window);
    if (!image || !surface) return;
    cairo_surface_t* pixels = image->surface();
    cairo_surface_flush(pixels);
    int w = std::min(surface->w, cairo_image_surface_get_width(pixels));
    int h = std::min(surface->h, cairo_image_surface_get_height(pixels));
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, cairo_image_surface_get_data(pixels), cairo_image_surface_get_stride(pixels),
                      surface->format->format, surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(native.window);
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
    auto mouse = [](NSWindow& window, NSEvent::EventType type, int x, int y) {
        NSEvent e;
        e.type = type;
        e.locationInWindow = CGPoint{CGFloat(x), window.frame().height() - CGFloat(y)};
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
        case SDL_WINDOWEVENT: {
            auto* native = nativeFor(event.window.windowID);
            auto window = native ? native->owner.lock() : nullptr;
            if (!window) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_LEAVE: window->sendEvent(mouse(*window, NSEvent::EventType::mouseExited, -1, -1)); break;
                case SDL_WINDOWEVENT_CLOSE: window->performClose(nullptr); break;
                case SDL_WINDOWEVENT_EXPOSED: display(*window); break;
                case SDL_WINDOWEVENT_MOVED: {
                    // Moved by the window system (a drag through the hit test): the frame follows.
                    CGRect frame = window->frame();
                    CGPoint origin{CGFloat(event.window.data1), screenHeight_ - CGFloat(event.window.data2) - frame.height()};
                    native->placed.origin = origin;
                    window->setFrameOrigin(origin);
                    break;
                }
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
