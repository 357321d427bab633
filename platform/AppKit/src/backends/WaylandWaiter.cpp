#include "WaylandWaiter.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>

#include "AppKit/NSApplication.hpp"

namespace {

// What the signal handler reaches: the waiting waiter's eventfd, and whether a signal came.
std::atomic<int> signalWakeUp{-1};
std::atomic<bool> quitSignalled{false};
constexpr int quitSignals[] = {SIGINT, SIGTERM};

void quitOnSignal(int) {
    quitSignalled = true;
    std::uint64_t one = 1;
    if (int fd = signalWakeUp.load(); fd >= 0) (void)!write(fd, &one, sizeof one);
}

}  // namespace

WaylandWaiter::WaylandWaiter(std::weak_ptr<Events> events)
    : events_(std::move(events)), wakeUp_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    int none = -1;
    if (wakeUp_ < 0 || !signalWakeUp.compare_exchange_strong(none, wakeUp_)) return;
    for (int number : quitSignals) {
        struct sigaction current {};
        if (sigaction(number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction handler {};
        handler.sa_handler = quitOnSignal;
        handler.sa_flags = SA_RESTART;
        sigemptyset(&handler.sa_mask);
        sigaction(number, &handler, nullptr);
    }
    handlesSignals_ = true;
}

WaylandWaiter::~WaylandWaiter() {
    if (handlesSignals_) {
        for (int number : quitSignals) {
            struct sigaction current {};
            if (sigaction(number, nullptr, &current) != 0 || current.sa_handler != quitOnSignal) continue;
            current.sa_handler = SIG_DFL;
            sigaction(number, &current, nullptr);
        }
        signalWakeUp = -1;
    }
    if (wakeUp_ >= 0) close(wakeUp_);
}

void WaylandWaiter::wake() {
    std::uint64_t one = 1;
    (void)!write(wakeUp_, &one, sizeof one);
}

void WaylandWaiter::wait(std::optional<double> timeout) {
    auto events = events_.lock();
    wl_display* display = events ? events->displayToRead() : nullptr;
    if (display && wl_display_get_error(display) != 0) display = nullptr;
    if (auto repeat = events ? events->untilKeyRepeat() : std::nullopt) timeout = std::min(timeout.value_or(*repeat), *repeat);
    pollfd ready[2] = {{wakeUp_, POLLIN, 0}, {-1, 0, 0}};
    // Events read already are handled before the socket is read again.
    bool reading = display != nullptr;
    while (reading && wl_display_prepare_read(display) != 0) reading = wl_display_dispatch_pending(display) >= 0;
    if (reading) {
        short events = POLLIN;
        if (wl_display_flush(display) < 0 && errno == EAGAIN) events |= POLLOUT;
        ready[1] = {wl_display_get_fd(display), events, 0};
    }
    int milliseconds = timeout ? int(std::min(std::ceil(std::max(0.0, *timeout) * 1000), double(INT_MAX))) : -1;
    int woken = poll(ready, 2, milliseconds);
    if (reading) {
        if (woken > 0 && (ready[1].revents & (POLLIN | POLLERR | POLLHUP))) {
            wl_display_read_events(display);
        } else {
            wl_display_cancel_read(display);
        }
        wl_display_dispatch_pending(display);
    }
    if (ready[0].revents & POLLIN) {
        std::uint64_t count = 0;
        (void)!read(wakeUp_, &count, sizeof count);
    }
    if (events) events->afterEvents();
    if (quitSignalled.exchange(false)) NSApplication::shared().terminate(nullptr);
}
