#pragma once
// The seat's keyboard on a Wayland compositor: the window it gives the keys to becomes the key
// window, and the keys the platform answers to (the arrows, Page Up and Down, Home and End, and
// Escape, as the compositor's keymap names them through xkbcommon) become NSEvents, repeated while held
// at the rate and after the delay the compositor gives.
#include <cstdint>
#include <optional>

class WaylandSurfaceWindows;
struct wl_array;
struct wl_keyboard;
struct wl_surface;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

class WaylandKeyboard {
public:
    WaylandKeyboard(const WaylandSurfaceWindows& windows, wl_keyboard* keyboard);
    ~WaylandKeyboard();
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    /// The surface goes away (its window left the screen).
    void forget(wl_surface* surface);
    /// Seconds until the key held down repeats; none while no key repeats.
    std::optional<double> untilRepeat() const;
    /// Repeats the key held down once its time has come.
    void repeatIfDue();

private:
    static void keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size);
    static void entered(void* data, wl_keyboard*, std::uint32_t serial, wl_surface* surface, wl_array* keys);
    static void left(void* data, wl_keyboard*, std::uint32_t serial, wl_surface* surface);
    static void key(void* data, wl_keyboard*, std::uint32_t serial, std::uint32_t time, std::uint32_t key, std::uint32_t state);
    static void modifiers(void* data, wl_keyboard*, std::uint32_t serial, std::uint32_t depressed, std::uint32_t latched,
                          std::uint32_t locked, std::uint32_t group);
    static void repeatInfo(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay);

    /// Sends the key (a Mac key code) to the window with the keyboard, or else the key window.
    void send(std::uint16_t code, bool down) const;

    const WaylandSurfaceWindows& windows_;
    wl_keyboard* keyboard_;
    wl_surface* focus_ = nullptr;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    // Repeating: keys a second and the seconds before the first repeat (0 keys a second: none).
    int rate_ = 25;
    double delay_ = 0.6;
    struct Repeat {
        std::uint32_t key = 0;
        std::uint16_t code = 0;
        double next = 0;
    };
    std::optional<Repeat> repeat_;
};
