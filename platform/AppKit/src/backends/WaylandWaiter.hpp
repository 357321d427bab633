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

struct wl_display;

class WaylandWaiter final : public RunLoop::Waiter {
public:
    /// What the waiter waits for: the compositor's connection, and what comes around its events.
    class Events {
    public:
        /// The compositor's display to read from; nullptr while there is none.
        virtual wl_display* displayToRead() const = 0;
        /// Seconds until a key held down repeats; none while none does.
        virtual std::optional<double> untilKeyRepeat() const = 0;
        /// After the compositor's events were handled.
        virtual void afterEvents() = 0;

    protected:
        ~Events() = default;
    };

    explicit WaylandWaiter(std::weak_ptr<Events> events);
    ~WaylandWaiter() override;
    WaylandWaiter(const WaylandWaiter&) = delete;
    WaylandWaiter& operator=(const WaylandWaiter&) = delete;

    void wait(std::optional<double> timeout) override;
    void wake() override;

private:
    std::weak_ptr<Events> events_;
    int wakeUp_ = -1;  // eventfd
    bool handlesSignals_ = false;
};
