#include "WaylandPointer.hpp"

#include <linux/input-event-codes.h>
#include <wayland-client.h>
#include <wayland-cursor.h>

#include <cmath>
#include <cstdlib>
#include <span>

#include "AppKit/NSCursor.hpp"
#include "AppKit/NSWindow.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "WaylandConnection.hpp"
#include "WaylandSurfaceWindows.hpp"
#include "WaylandToplevel.hpp"

namespace {

// Presses of a button this soon after the last one and this near it count on (SDL's defaults).
constexpr double multiClickSeconds = 0.5;
constexpr CGFloat multiClickDistance = 32;
// A touchpad's smooth scrolling goes ten surface units for a notch of a wheel.
constexpr double unitsPerNotch = 10;

void axisSource(void*, wl_pointer*, std::uint32_t) {}
void axisStopped(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}

// The names cursor themes give the platform's cursors, best first.
constexpr const char* arrowNames[] = {"default", "left_ptr"};
constexpr const char* handNames[] = {"pointer", "hand2", "hand1"};

std::span<const char* const> cursorNames(const std::string& name) {
    if (name == "pointingHand") return handNames;
    return arrowNames;
}

}  // namespace

WaylandPointer::WaylandPointer(const WaylandConnection& connection, const WaylandSurfaceWindows& windows, wl_pointer* pointer)
    : connection_(connection), windows_(windows), pointer_(pointer) {
    static const wl_pointer_listener listener{entered, left, moved, button, axis, frame, axisSource, axisStopped, axisDiscrete, axisValue120};
    wl_pointer_add_listener(pointer_, &listener, this);
    cursor_ = wl_compositor_create_surface(connection_.compositor());
}

WaylandPointer::~WaylandPointer() {
    if (theme_) wl_cursor_theme_destroy(theme_);
    wl_surface_destroy(cursor_);
    if (wl_pointer_get_version(pointer_) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(pointer_);
    } else {
        wl_pointer_destroy(pointer_);
    }
}

void WaylandPointer::forget(wl_surface* surface) {
    if (focus_ == surface) focus_ = nullptr;
}

std::shared_ptr<NSWindow> WaylandPointer::window() const {
    auto* toplevel = windows_.toplevel(focus_);
    return toplevel ? toplevel->window() : nullptr;
}

NSEvent WaylandPointer::event(NSWindow& window, NSEvent::EventType type) const {
    NSEvent e;
    e.type = type;
    e.locationInWindow = CGPoint{at_.x, window.frame().height() - at_.y};
    e.timestamp = ProcessInfo::processInfo().systemUptime();
    e.window = window.weak_from_this();
    return e;
}

void WaylandPointer::entered(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, std::int32_t x, std::int32_t y) {
    auto* self = static_cast<WaylandPointer*>(data);
    self->focus_ = surface;
    self->enterSerial_ = serial;
    // The pointer takes no cursor of the window's until it is given one.
    self->shown_.clear();
    moved(data, nullptr, 0, x, y);
}

void WaylandPointer::left(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    auto* self = static_cast<WaylandPointer*>(data);
    self->at_ = CGPoint{-1, -1};
    if (auto window = self->window()) window->sendEvent(self->event(*window, NSEvent::EventType::mouseExited));
    self->focus_ = nullptr;
}

void WaylandPointer::moved(void* data, wl_pointer*, std::uint32_t, std::int32_t x, std::int32_t y) {
    auto* self = static_cast<WaylandPointer*>(data);
    self->at_ = CGPoint{wl_fixed_to_double(x), wl_fixed_to_double(y)};
    auto window = self->window();
    if (!window) return;
    window->sendEvent(self->event(*window, self->leftDown_    ? NSEvent::EventType::leftMouseDragged
                                           : self->rightDown_ ? NSEvent::EventType::rightMouseDragged
                                                              : NSEvent::EventType::mouseMoved));
    self->showCursor();
}

void WaylandPointer::button(void* data, wl_pointer*, std::uint32_t serial, std::uint32_t, std::uint32_t button, std::uint32_t state) {
    auto* self = static_cast<WaylandPointer*>(data);
    if (button != BTN_LEFT && button != BTN_RIGHT) return;
    bool down = state == WL_POINTER_BUTTON_STATE_PRESSED;
    auto window = self->window();
    (button == BTN_LEFT ? self->leftDown_ : self->rightDown_) = down;
    if (button == BTN_LEFT && down) self->leftPress_ = serial;
    double now = ProcessInfo::processInfo().systemUptime();
    if (down) {
        bool again = button == self->lastButton_ && now - self->lastPress_ <= multiClickSeconds &&
                     std::abs(self->at_.x - self->lastPlace_.x) <= multiClickDistance &&
                     std::abs(self->at_.y - self->lastPlace_.y) <= multiClickDistance;
        self->clicks_ = again ? self->clicks_ + 1 : 1;
        self->lastButton_ = button;
        self->lastPress_ = now;
        self->lastPlace_ = self->at_;
    }
    if (!window) return;
    using Type = NSEvent::EventType;
    auto e = self->event(*window, button == BTN_LEFT ? (down ? Type::leftMouseDown : Type::leftMouseUp)
                                                     : (down ? Type::rightMouseDown : Type::rightMouseUp));
    e.clickCount = self->clicks_;
    window->sendEvent(e);
}

bool WaylandPointer::moveWindow(WaylandToplevel& toplevel) {
    if (!leftDown_ || windows_.toplevel(focus_) != &toplevel) return false;
    toplevel.move(connection_.seat(), leftPress_);
    // The compositor has the press from now on, its release too.
    leftDown_ = false;
    return true;
}

void WaylandPointer::axis(void* data, wl_pointer* pointer, std::uint32_t, std::uint32_t axis, std::int32_t value) {
    auto* self = static_cast<WaylandPointer*>(data);
    if (axis > WL_POINTER_AXIS_HORIZONTAL_SCROLL) return;
    self->turns_[axis].units += wl_fixed_to_double(value);
    // Before frames, each amount comes alone.
    if (wl_pointer_get_version(pointer) < WL_POINTER_FRAME_SINCE_VERSION) frame(data, pointer);
}

void WaylandPointer::axisDiscrete(void* data, wl_pointer*, std::uint32_t axis, std::int32_t steps) {
    axisValue120(data, nullptr, axis, steps * 120);
}

void WaylandPointer::axisValue120(void* data, wl_pointer*, std::uint32_t axis, std::int32_t value120) {
    auto* self = static_cast<WaylandPointer*>(data);
    if (axis > WL_POINTER_AXIS_HORIZONTAL_SCROLL) return;
    self->turns_[axis].steps += value120 / 120.0;
    self->turns_[axis].stepped = true;
}

void WaylandPointer::frame(void* data, wl_pointer*) {
    auto* self = static_cast<WaylandPointer*>(data);
    // A wheel tells its notches; smooth scrolling only its distance. Wayland's amounts grow
    // down and to the right.
    auto notches = [](const Turn& turn) { return turn.stepped ? turn.steps : turn.units / unitsPerNotch; };
    double up = -notches(self->turns_[WL_POINTER_AXIS_VERTICAL_SCROLL]);
    double right = notches(self->turns_[WL_POINTER_AXIS_HORIZONTAL_SCROLL]);
    self->turns_[0] = self->turns_[1] = Turn{};
    auto window = self->window();
    if ((up == 0 && right == 0) || !window) return;
    auto e = self->event(*window, NSEvent::EventType::scrollWheel);
    e.setWheelNotches(right, up, unitsPerNotch);
    window->sendEvent(e);
}

void WaylandPointer::showCursor() {
    const std::string& name = NSCursor::current()->name();
    if (name == shown_ || !focus_) return;
    int scale = windows_.scale();
    if (!theme_ || themeScale_ != scale) {
        if (theme_) wl_cursor_theme_destroy(theme_);
        const char* sized = std::getenv("XCURSOR_SIZE");
        int size = sized ? std::atoi(sized) : 0;
        if (size <= 0 || size > 256) size = 24;
        theme_ = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), size * scale, connection_.shm());
        themeScale_ = scale;
    }
    wl_cursor* cursor = nullptr;
    for (const char* candidate : cursorNames(name)) {
        if (theme_ && (cursor = wl_cursor_theme_get_cursor(theme_, candidate))) break;
    }
    if (!cursor || cursor->image_count == 0) return;
    wl_cursor_image* image = cursor->images[0];
    int bufferScale = image->width % unsigned(scale) == 0 && image->height % unsigned(scale) == 0 ? scale : 1;
    wl_pointer_set_cursor(pointer_, enterSerial_, cursor_, int(image->hotspot_x) / bufferScale, int(image->hotspot_y) / bufferScale);
    wl_surface_set_buffer_scale(cursor_, bufferScale);
    wl_surface_attach(cursor_, wl_cursor_image_get_buffer(image), 0, 0);
    wl_surface_damage(cursor_, 0, 0, int(image->width), int(image->height));
    wl_surface_commit(cursor_);
    shown_ = name;
}
