#pragma once
// The connection to a Wayland compositor and the globals the windows need: surfaces, shared
// memory, the desktop shell (xdg_wm_base, whose pings it answers), the first seat and the outputs
// with their scale and size. Its listeners run where the display is dispatched: the main thread.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_output_listener;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct xdg_wm_base;

class WaylandConnection {
public:
    struct Output {
        wl_output* output = nullptr;
        int scale = 1;
        int modeWidth = 0, modeHeight = 0;  // the current mode, pixels
        bool turned = false;                // a quarter turn: the mode's width runs up the screen
        int width() const { return turned ? modeHeight : modeWidth; }
        int height() const { return turned ? modeWidth : modeHeight; }
    };

    /// Connects to the compositor the environment names (WAYLAND_DISPLAY, else wayland-0) and binds
    /// its globals (one round trip); nullptr, with the reason in `why`, when it cannot.
    static std::unique_ptr<WaylandConnection> connect(std::string& why);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }
    wl_compositor* compositor() const { return compositor_; }
    wl_shm* shm() const { return shm_; }
    xdg_wm_base* shell() const { return shell_; }
    wl_seat* seat() const { return seat_; }
    /// The outputs, by the order the compositor announced them in.
    const std::map<std::uint32_t, Output>& outputs() const { return outputs_; }
    /// Waits until the compositor has answered all that was sent, for five seconds at most (only
    /// while starting); false, with the reason in `why`, when it did not answer as a compositor.
    bool roundtrip(std::string& why);

    /// An output came, went or changed.
    std::function<void()> outputsChanged;
    /// An output goes: called before it is destroyed (and before outputsChanged).
    std::function<void(wl_output*)> outputWithdrawn;
    /// The seat's capabilities (WL_SEAT_CAPABILITY_*): a pointer or a keyboard came or went.
    std::function<void(std::uint32_t)> seatChanged;

private:
    WaylandConnection() = default;
    static void announced(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version);
    static void withdrawn(void* data, wl_registry*, std::uint32_t name);
    static void outputGeometry(void* data, wl_output* output, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                               const char*, const char*, std::int32_t transform);
    static void outputMode(void* data, wl_output* output, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t);
    static void outputScale(void* data, wl_output* output, std::int32_t factor);
    static void outputDone(void* data, wl_output*);
    static const wl_output_listener outputListener;
    Output* outputOf(wl_output* output);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    xdg_wm_base* shell_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::uint32_t seatName_ = 0;
    std::map<std::uint32_t, Output> outputs_;
};
