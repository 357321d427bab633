#include "Foundation/backends/DBusConnection.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Longest sleep of a dispatch thread: deadlines of calls added from other threads while it sleeps
// are noticed within this time.
constexpr int longestPollMilliseconds = 200;
// A bus that did not answer is asked again only after this pause, not on every use.
constexpr auto retryPause = std::chrono::seconds(5);

const char* variable(DBusConnection::Bus bus) {
    return bus == DBusConnection::Bus::session ? "DBUS_SESSION_BUS_ADDRESS" : "DBUS_SYSTEM_BUS_ADDRESS";
}

// A connection with the thread that dispatches its incoming messages. sdbus-c++'s own loop ends the
// process when the bus goes away under it; this one notes the loss instead, so that the next user
// of the bus gets a fresh connection.
struct Dispatched {
    std::unique_ptr<sdbus::IConnection> connection;
    int stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::atomic<bool> lost{false};
    std::atomic<bool> endsItself{false};
    std::thread thread;

    explicit Dispatched(std::unique_ptr<sdbus::IConnection> made) : connection(std::move(made)) {
        thread = std::thread([this] {
            run();
            if (endsItself) delete this;
        });
    }

    void requestStop() {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(stop, &one, sizeof one);
    }

    ~Dispatched() {
        requestStop();
        if (thread.joinable()) thread.join();
        connection.reset();
        ::close(stop);
    }

    void run() {
        try {
            for (;;) {
                while (connection->processPendingRequest()) {
                }
                const auto data = connection->getEventLoopPollData();
                int wait = longestPollMilliseconds;
                if (data.timeout_usec != UINT64_MAX) {
                    timespec now{};
                    ::clock_gettime(CLOCK_MONOTONIC, &now);
                    const auto nowUsec = static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
                                         static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
                    const auto left = data.timeout_usec > nowUsec ? (data.timeout_usec - nowUsec + 999) / 1000 : 0;
                    wait = static_cast<int>(std::min<std::uint64_t>(left, longestPollMilliseconds));
                }
                pollfd fds[2] = {{data.fd, data.events, 0}, {stop, POLLIN, 0}};
                if (::poll(fds, 2, wait) < 0 && errno != EINTR) break;
                if (fds[1].revents & POLLIN) return;
            }
        } catch (const sdbus::Error&) {
        }
        lost = true;
    }
};

std::shared_ptr<Dispatched> open(DBusConnection::Bus bus) {
    // sd-bus reads the address variable itself (and frees what it made when the bus does not
    // answer, which its explicit-address path does not).
    auto connection = bus == DBusConnection::Bus::session ? sdbus::createSessionBusConnection()
                                                           : sdbus::createSystemBusConnection();
    auto* made = new Dispatched(std::move(connection));
    return std::shared_ptr<Dispatched>(made, [](Dispatched* dispatched) {
        if (dispatched->thread.get_id() == std::this_thread::get_id()) {
            // Let go of from one of its own callbacks: the thread ends it once the callback returns.
            dispatched->thread.detach();
            dispatched->endsItself = true;
            dispatched->requestStop();
            return;
        }
        delete dispatched;
    });
}

}  // namespace

std::shared_ptr<sdbus::IConnection> DBusConnection::shared(Bus bus) {
    struct Entry {
        // Held while the bus is joined, which waits for its daemon: one bus that hangs holds up
        // no one who asks for the other.
        std::mutex mutex;
        std::string address;
        std::shared_ptr<Dispatched> dispatched;
        std::optional<std::chrono::steady_clock::time_point> failedAt;
    };
    static Entry entries[2];
    const char* set = std::getenv(variable(bus));
    const std::string address = set ? set : "";
    const auto now = std::chrono::steady_clock::now();
    auto& entry = entries[bus == Bus::session ? 0 : 1];
    std::shared_ptr<Dispatched> stale;  // let go of outside the lock
    std::lock_guard lock(entry.mutex);
    const bool sameAddress = entry.address == address;
    const bool usable = entry.dispatched && sameAddress && !entry.dispatched->lost;
    const bool failedLately = !entry.dispatched && sameAddress && entry.failedAt && now - *entry.failedAt < retryPause;
    if (!usable && !failedLately) {
        stale = std::move(entry.dispatched);
        entry.address = address;
        entry.failedAt.reset();
        try {
            entry.dispatched = open(bus);
        } catch (const sdbus::Error&) {
            entry.dispatched.reset();
            entry.failedAt = now;
        }
    }
    if (!entry.dispatched) return nullptr;
    return std::shared_ptr<sdbus::IConnection>(entry.dispatched, entry.dispatched->connection.get());
}

std::shared_ptr<sdbus::IConnection> DBusConnection::separate(Bus bus) {
    try {
        auto dispatched = open(bus);
        return std::shared_ptr<sdbus::IConnection>(dispatched, dispatched->connection.get());
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

bool DBusConnection::hasOwner(sdbus::IConnection& connection, const std::string& name,
                              std::chrono::milliseconds timeout) {
    try {
        bool owned = false;
        auto daemon = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("NameHasOwner")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(timeout)
            .withArguments(name)
            .storeResultsTo(owned);
        return owned;
    } catch (const sdbus::Error&) {
        return false;
    }
}

bool DBusConnection::canReach(sdbus::IConnection& connection, const std::string& name) {
    if (hasOwner(connection, name)) return true;
    try {
        std::vector<std::string> names;
        auto daemon = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("ListActivatableNames")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(std::chrono::seconds(2))
            .storeResultsTo(names);
        return std::find(names.begin(), names.end(), name) != names.end();
    } catch (const sdbus::Error&) {
        return false;
    }
}
