#include "WaylandConnection.hpp"

#include <wayland-client.h>

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "xdg-shell-client-protocol.h"

namespace {

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void ping(void*, xdg_wm_base* shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); }
const xdg_wm_base_listener shellListener{ping};

// A compositor answers its clients at once; one that has not answered the first exchanges in this
// time is taken for none.
constexpr auto answerTime = std::chrono::seconds(5);

// The socket's path as libwayland finds it: WAYLAND_DISPLAY (else wayland-0), under
// XDG_RUNTIME_DIR unless it is a path from the root.
std::string socketPath() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::string display = name && *name ? name : "wayland-0";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (display.front() == '/' || !runtime) return display;
    return std::string(runtime) + "/" + display;
}

void capabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    auto* connection = static_cast<WaylandConnection*>(data);
    if (connection->seatChanged) connection->seatChanged(capabilities);
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener{capabilities, seatName};

}  // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::connect(std::string& why) {
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection());
    connection->display_ = wl_display_connect(nullptr);
    if (!connection->display_) {
        int error = errno;
        // A file, a folder or a pipe refuses the connection as a socket nobody listens on does.
        struct stat found {};
        auto path = socketPath();
        why = stat(path.c_str(), &found) == 0 && !S_ISSOCK(found.st_mode) ? path + " is not a socket" : std::strerror(error);
        return nullptr;
    }
    connection->registry_ = wl_display_get_registry(connection->display_);
    static const wl_registry_listener listener{announced, withdrawn};
    wl_registry_add_listener(connection->registry_, &listener, connection.get());
    if (!connection->roundtrip(why)) return nullptr;
    const char* missing = !connection->compositor_ ? "surfaces (wl_compositor)"
                          : !connection->shm_      ? "shared memory (wl_shm)"
                          : !connection->shell_    ? "desktop shell (xdg_wm_base)"
                                                   : nullptr;
    if (missing) {
        why = std::string("the compositor offers no ") + missing;
        return nullptr;
    }
    return connection;
}

WaylandConnection::~WaylandConnection() {
    if (!display_) return;
    for (auto& [name, output] : outputs_) wl_output_destroy(output.output);
    if (seat_) wl_seat_destroy(seat_);
    if (shell_) xdg_wm_base_destroy(shell_);
    if (shm_) wl_shm_destroy(shm_);
    if (compositor_) wl_compositor_destroy(compositor_);
    if (registry_) wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

// An output's properties come one by one and hold from its "done" on.
const wl_output_listener WaylandConnection::outputListener{outputGeometry, outputMode, outputDone, outputScale};

WaylandConnection::Output* WaylandConnection::outputOf(wl_output* output) {
    for (auto& [name, known] : outputs_) {
        if (known.output == output) return &known;
    }
    return nullptr;
}

void WaylandConnection::outputGeometry(void* data, wl_output* output, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                       std::int32_t, const char*, const char*, std::int32_t transform) {
    // The odd transforms turn the output by a quarter (90 or 270 degrees, flipped or not).
    if (auto* known = static_cast<WaylandConnection*>(data)->outputOf(output)) known->turned = transform % 2 == 1;
}

void WaylandConnection::outputMode(void* data, wl_output* output, std::uint32_t flags, std::int32_t width, std::int32_t height,
                                   std::int32_t) {
    auto* known = static_cast<WaylandConnection*>(data)->outputOf(output);
    if (!known || !(flags & WL_OUTPUT_MODE_CURRENT)) return;
    known->modeWidth = width;
    known->modeHeight = height;
}

void WaylandConnection::outputScale(void* data, wl_output* output, std::int32_t factor) {
    if (auto* known = static_cast<WaylandConnection*>(data)->outputOf(output)) known->scale = std::max(1, factor);
}

void WaylandConnection::outputDone(void* data, wl_output*) {
    auto* self = static_cast<WaylandConnection*>(data);
    if (self->outputsChanged) self->outputsChanged();
}

bool WaylandConnection::roundtrip(std::string& why) {
    // As wl_display_roundtrip(), but for a bounded time: a socket that takes the connection and
    // never answers, or answers with what no compositor sends, must not hold the program up.
    bool answered = false, heard = false;
    wl_callback* sync = wl_display_sync(display_);
    static const wl_callback_listener listener{[](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback_add_listener(sync, &listener, &answered);
    auto end = std::chrono::steady_clock::now() + answerTime;
    while (wl_display_dispatch_pending(display_) >= 0 && !answered) {
        if (wl_display_prepare_read(display_) != 0) continue;
        short events = POLLIN;
        if (wl_display_flush(display_) < 0 && errno == EAGAIN) events |= POLLOUT;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        pollfd ready{wl_display_get_fd(display_), events, 0};
        int woken = left > 0 ? poll(&ready, 1, int(left)) : 0;
        if (woken > 0 && (ready.revents & (POLLIN | POLLERR | POLLHUP))) {
            heard = true;
            if (wl_display_read_events(display_) < 0) break;
        } else {
            wl_display_cancel_read(display_);
            if (woken == 0 || (woken < 0 && errno != EINTR)) break;
        }
    }
    wl_callback_destroy(sync);
    if (answered) return true;
    int error = wl_display_get_error(display_);
    if (error == EPROTO || (heard && !error)) {
        why = "it answered with what is no Wayland protocol";
    } else if (error) {
        why = std::strerror(error);
    } else {
        why = "no compositor answered within " + std::to_string(answerTime.count()) + " seconds";
    }
    return false;
}

void WaylandConnection::announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                                  std::uint32_t version) {
    auto* self = static_cast<WaylandConnection*>(data);
    std::string_view kind = interface;
    if (kind == wl_compositor_interface.name && !self->compositor_) {
        // Version 4 damages in buffer pixels.
        self->compositor_ = bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4);
    } else if (kind == wl_shm_interface.name && !self->shm_) {
        self->shm_ = bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
    } else if (kind == xdg_wm_base_interface.name && !self->shell_) {
        // Version 4 tells a window the bounds it fits in (an output less the compositor's panels).
        self->shell_ = bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 4);
        xdg_wm_base_add_listener(self->shell_, &shellListener, self);
    } else if (kind == wl_seat_interface.name && !self->seat_) {
        // Version 8 tells a wheel's high-resolution steps.
        self->seat_ = bind<wl_seat>(registry, name, wl_seat_interface, version, 8);
        self->seatName_ = name;
        wl_seat_add_listener(self->seat_, &seatListener, self);
    } else if (kind == wl_output_interface.name) {
        auto& output = self->outputs_[name];
        output.output = bind<wl_output>(registry, name, wl_output_interface, version, 2);
        wl_output_add_listener(output.output, &outputListener, self);
    }
}

void WaylandConnection::withdrawn(void* data, wl_registry*, std::uint32_t name) {
    auto* self = static_cast<WaylandConnection*>(data);
    if (auto output = self->outputs_.find(name); output != self->outputs_.end()) {
        if (self->outputWithdrawn) self->outputWithdrawn(output->second.output);
        wl_output_destroy(output->second.output);
        self->outputs_.erase(output);
        if (self->outputsChanged) self->outputsChanged();
    } else if (name == self->seatName_ && self->seat_) {
        if (self->seatChanged) self->seatChanged(0);
        wl_seat_destroy(self->seat_);
        self->seat_ = nullptr;
    }
}
