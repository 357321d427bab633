#pragma once
// How the main loop waits while windows are on a Wayland compositor: in poll() on the display's
// socket and on an eventfd that wake() writes to from any thread, for at most the loop's timeout
// or until a key held down repeats. Before it sleeps it sends what was asked of the compositor
// (waiting also for room on the socket where it was full); after, it reads and handles what the
// compositor sent. SIGINT and SIGTERM, where nothing else handles them, end the application as
// its quit does.
#include <memory>
#include <optional>

#include "Foundation/RunLoop.hpp"

class WaylandWindowBackend;

class WaylandWaiter final : public RunLoop::Waiter {
public:
    explicit WaylandWaiter(std::weak_ptr<WaylandWindowBackend> backend);
    ~WaylandWaiter() override;
    WaylandWaiter(const WaylandWaiter&) = delete;
    WaylandWaiter& operator=(const WaylandWaiter&) = delete;

    void wait(std::optional<double> timeout) override;
    void wake() override;

private:
    std::weak_ptr<WaylandWindowBackend> backend_;
    int wakeUp_ = -1;  // eventfd
    bool handlesSignals_ = false;
};
