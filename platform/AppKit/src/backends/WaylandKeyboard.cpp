#include "WaylandKeyboard.hpp"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSWindow.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "WaylandSurfaceWindows.hpp"
#include "WaylandToplevel.hpp"

namespace {

// A keymap takes some tens of KiB; a larger one than this is not read.
constexpr std::uint32_t largestKeymap = 1 << 20;

// The Mac key code of a navigation key or Escape; none for the keys nothing answers to.
std::optional<std::uint16_t> keyCode(xkb_keysym_t symbol) {
    switch (symbol) {
        case XKB_KEY_Escape: return NSEvent::KeyCode::escape;
        case XKB_KEY_Home: return NSEvent::KeyCode::home;
        case XKB_KEY_End: return NSEvent::KeyCode::end;
        case XKB_KEY_Page_Up: return NSEvent::KeyCode::pageUp;
        case XKB_KEY_Page_Down: return NSEvent::KeyCode::pageDown;
        case XKB_KEY_Left: return NSEvent::KeyCode::leftArrow;
        case XKB_KEY_Right: return NSEvent::KeyCode::rightArrow;
        case XKB_KEY_Down: return NSEvent::KeyCode::downArrow;
        case XKB_KEY_Up: return NSEvent::KeyCode::upArrow;
        default: return std::nullopt;
    }
}

}  // namespace

WaylandKeyboard::WaylandKeyboard(const WaylandSurfaceWindows& windows, wl_keyboard* keyboard) : windows_(windows), keyboard_(keyboard) {
    // The compositor sends whole keymaps: xkbcommon reads no files of its own for them.
    context_ = xkb_context_new(xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    static const wl_keyboard_listener listener{keymap, entered, left, key, modifiers, repeatInfo};
    wl_keyboard_add_listener(keyboard_, &listener, this);
}

WaylandKeyboard::~WaylandKeyboard() {
    if (state_) xkb_state_unref(state_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
    if (wl_keyboard_get_version(keyboard_) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard_);
    } else {
        wl_keyboard_destroy(keyboard_);
    }
}

void WaylandKeyboard::forget(wl_surface* surface) {
    if (focus_ == surface) focus_ = nullptr;
}

void WaylandKeyboard::keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    // Read only from shared memory that holds all of it.
    struct stat file {};
    bool readable = self->context_ && format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= largestKeymap &&
                    fstat(fd, &file) == 0 && S_ISREG(file.st_mode) && file.st_size >= off_t(size);
    void* text = readable ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    close(fd);
    if (text == MAP_FAILED) return;
    const auto* chars = static_cast<const char*>(text);
    xkb_keymap* made = xkb_keymap_new_from_buffer(self->context_, chars, strnlen(chars, size), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    xkb_state* state = made ? xkb_state_new(made) : nullptr;
    if (!state) {
        if (made) xkb_keymap_unref(made);
        return;
    }
    if (self->state_) xkb_state_unref(self->state_);
    if (self->keymap_) xkb_keymap_unref(self->keymap_);
    self->keymap_ = made;
    self->state_ = state;
}

void WaylandKeyboard::entered(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    self->focus_ = surface;
    auto* toplevel = self->windows_.toplevel(surface);
    auto window = toplevel ? toplevel->window() : nullptr;
    if (!window) return;
    // A window given the keyboard is on screen, whatever took it from the task bar.
    if (window->isMiniaturized()) window->deminiaturize();
    if (!window->isKeyWindow()) window->makeKeyWindow();
}

void WaylandKeyboard::left(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    self->focus_ = nullptr;
    self->repeat_.reset();
}

void WaylandKeyboard::key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    bool down = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    if (down || (self->repeat_ && self->repeat_->key == key)) self->repeat_.reset();
    if (!self->state_) return;
    // xkbcommon counts keys from 8, as X11 does.
    xkb_keycode_t code = key + 8;
    auto mapped = keyCode(xkb_state_key_get_one_sym(self->state_, code));
    if (!mapped) return;
    if (down && self->rate_ > 0 && xkb_keymap_key_repeats(self->keymap_, code)) {
        self->repeat_ = Repeat{key, *mapped, ProcessInfo::processInfo().systemUptime() + self->delay_};
    }
    self->send(*mapped, down);
}

void WaylandKeyboard::modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
                                std::uint32_t locked, std::uint32_t group) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    if (self->state_) xkb_state_update_mask(self->state_, depressed, latched, locked, 0, 0, group);
}

void WaylandKeyboard::repeatInfo(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
    auto* self = static_cast<WaylandKeyboard*>(data);
    self->rate_ = std::max(0, rate);
    self->delay_ = std::max(0, delay) / 1000.0;
    if (self->rate_ == 0) self->repeat_.reset();
}

std::optional<double> WaylandKeyboard::untilRepeat() const {
    if (!repeat_) return std::nullopt;
    return std::max(0.0, repeat_->next - ProcessInfo::processInfo().systemUptime());
}

void WaylandKeyboard::repeatIfDue() {
    double now = ProcessInfo::processInfo().systemUptime();
    if (!repeat_ || now < repeat_->next) return;
    // A loop that was held up repeats once, not for all the time it lost.
    double interval = 1.0 / rate_;
    repeat_->next = std::max(repeat_->next, now - interval) + interval;
    send(repeat_->code, true);
}

void WaylandKeyboard::send(std::uint16_t code, bool down) const {
    auto* toplevel = windows_.toplevel(focus_);
    auto window = toplevel ? toplevel->window() : NSApplication::shared().keyWindow();
    if (!window) return;
    NSEvent e;
    e.type = down ? NSEvent::EventType::keyDown : NSEvent::EventType::keyUp;
    e.keyCode = code;
    e.timestamp = ProcessInfo::processInfo().systemUptime();
    e.window = window;
    window->sendEvent(e);
}
