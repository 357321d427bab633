#include "Foundation/backends/DBusConnection.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "Foundation/ProcessEnd.hpp"

namespace {

const char* variable(DBusConnection::Bus bus) {
    return bus == DBusConnection::Bus::session ? "DBUS_SESSION_BUS_ADDRESS" : "DBUS_SYSTEM_BUS_ADDRESS";
}

struct Dispatched;

// A dispatch thread. One whose connection was let go of outlives its entry's connection: it is
// joined by the one letting go (the entry keeps only whether it runs), or it ends the connection
// itself when let go of from its own callback; either way the entry stays until the next thread to
// start, or the end of the process, finds it ended.
struct DispatchThread {
    ProcessEnd::OwnedThread owned;
    bool orphaned = false;
};

// Every connection with a dispatch thread, so that a connection leads to its thread, and every
// dispatch thread, so that the end of the process can stop them all.
struct Registry {
    std::mutex mutex;
    std::condition_variable ended;  // a dispatch thread has ended
    std::map<const sdbus::IConnection*, Dispatched*> live;
    std::list<DispatchThread> threads;
    bool exiting = false;
    ProcessEnd::Clock::time_point flushBy;  // at the end: what is queued to send goes out until then
};

bool stopDispatching(ProcessEnd::Clock::time_point deadline);

Registry& registry() {
    // Lives as long as the process. The end knows of it before the first bus is joined, so that it
    // runs before anything made before that is ended. sd-bus-c++ makes every value (sdbus::Variant)
    // through a connection of its own that lives in a static: made here first, it is ended only
    // after the end has stopped every thread that makes or lets go of values.
    static Registry* made = [] {
        auto* registry = new Registry();
        sdbus::Variant();
        if (!ProcessEnd::add(ProcessEnd::Stage::busThreads, stopDispatching)) registry->exiting = true;
        return registry;
    }();
    return *made;
}

// A connection with the thread that dispatches its incoming messages. sdbus-c++'s own loop ends the
// process when the bus goes away under it; this one notes the loss instead and tells those who
// watch for it, so that the next user of the bus gets a fresh connection.
struct Dispatched {
    std::unique_ptr<sdbus::IConnection> connection;
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::atomic<bool> stopping{false};
    std::atomic<bool> lost{false};
    std::thread::id threadId;
    // Guarded by the registry's mutex.
    std::optional<std::list<DispatchThread>::iterator> thread;
    bool endsItself = false;
    // Guarded by watchersMutex.
    std::mutex watchersMutex;
    std::vector<std::weak_ptr<std::function<void()>>> watchers;

    explicit Dispatched(std::unique_ptr<sdbus::IConnection> made) : connection(std::move(made)) {}

    // Starts the thread, and lists it and the connection once it exists. False where no thread can
    // be started: nothing is listed then.
    bool start() {
        auto& all = registry();
        std::lock_guard lock(all.mutex);
        if (all.exiting) return true;  // joined as the process began to end: nothing is dispatched any more
        all.threads.remove_if([](DispatchThread& ended) {
            if (!ended.orphaned || ended.owned.running) return false;
            if (ended.owned.thread.joinable()) ended.owned.thread.join();  // it only returns
            return true;
        });
        all.threads.emplace_back();
        const auto entry = std::prev(all.threads.end());
        // `this` may be gone once run() has returned.
        if (!ProcessEnd::start(entry->owned, all.mutex, all.ended, [this] { run(); })) {
            all.threads.erase(entry);  // under the lock throughout: no one saw it
            return false;
        }
        thread = entry;
        threadId = entry->owned.thread.get_id();
        all.live.emplace(connection.get(), this);
        return true;
    }

    void signal() {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd, &one, sizeof one);
    }

    ~Dispatched() {
        connection.reset();
        ::close(wakeFd);
    }

    void run() {
        try {
            while (!stopping) {
                if (connection->processPendingRequest()) continue;
                const auto data = connection->getEventLoopPollData();
                pollfd fds[2] = {{data.fd, data.events, 0}, {wakeFd, POLLIN, 0}};
                if (::poll(fds, 2, data.getPollTimeout()) < 0 && errno != EINTR) break;
                if (fds[1].revents & POLLIN) {
                    std::uint64_t count = 0;
                    [[maybe_unused]] auto read = ::read(wakeFd, &count, sizeof count);
                }
            }
        } catch (const sdbus::Error&) {
        }
        if (!stopping) noteLoss();
        auto& all = registry();
        std::unique_lock lock(all.mutex);
        if (all.exiting) {
            const auto until = all.flushBy;
            lock.unlock();
            flush(until);
            return;
        }
        if (endsItself) {
            lock.unlock();
            delete this;
        }
    }

    // At the end of the process: sends what is queued to go out, until `deadline` at the latest.
    void flush(ProcessEnd::Clock::time_point deadline) {
        try {
            for (;;) {
                const auto data = connection->getEventLoopPollData();
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - ProcessEnd::Clock::now());
                if (!(data.events & POLLOUT) || left.count() <= 0) return;
                pollfd fd{data.fd, POLLOUT, 0};
                if (::poll(&fd, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return;
                connection->processPendingRequest();
            }
        } catch (const sdbus::Error&) {
        }
    }

    void noteLoss() {
        std::vector<std::shared_ptr<std::function<void()>>> told;
        {
            std::lock_guard lock(watchersMutex);
            lost = true;
            for (const auto& watcher : watchers) {
                if (auto live = watcher.lock()) told.push_back(std::move(live));
            }
            watchers.clear();
        }
        for (const auto& lostNow : told) (*lostNow)();
    }
};

std::shared_ptr<Dispatched> open(DBusConnection::Bus bus) {
    std::unique_ptr<sdbus::IConnection> connection;
    {
        // The handshake waits for the bus's daemon, which may never answer.
        ProcessEnd::WaitingElsewhere waiting;
        // sd-bus reads the address variable itself (and frees what it made when the bus does not
        // answer, which its explicit-address path does not).
        connection = bus == DBusConnection::Bus::session ? sdbus::createSessionBusConnection()
                                                          : sdbus::createSystemBusConnection();
    }
    auto* made = new Dispatched(std::move(connection));
    if (!made->start()) {
        delete made;
        throw sdbus::Error("org.freedesktop.DBus.Error.LimitsExceeded", "No thread could be started for the bus");
    }
    return std::shared_ptr<Dispatched>(made, [](Dispatched* dispatched) {
        std::thread joined;
        {
            auto& all = registry();
            std::lock_guard lock(all.mutex);
            // At exit a connection is left as it is: closing it would wait to send what is queued.
            if (all.exiting) return;
            all.live.erase(dispatched->connection.get());
            dispatched->stopping = true;
            if (dispatched->thread) {
                (*dispatched->thread)->orphaned = true;
                if (dispatched->threadId == std::this_thread::get_id()) {
                    // Let go of from one of its own callbacks: the thread ends it once the
                    // callback returns.
                    dispatched->endsItself = true;
                    return;
                }
                // Joined here, not by the end of the process, which waits for it all the same.
                joined = std::move((*dispatched->thread)->owned.thread);
            }
        }
        dispatched->signal();
        if (joined.joinable()) joined.join();
        delete dispatched;
    });
}

std::shared_ptr<sdbus::IConnection> connectionOf(const std::shared_ptr<Dispatched>& dispatched) {
    return std::shared_ptr<sdbus::IConnection>(dispatched, dispatched->connection.get());
}

}  // namespace

void DBusConnection::prepare() { registry(); }

namespace {
// The end of the process: every connection's thread sends what is queued, then ends; a connection
// made later gets no thread.
bool stopDispatching(ProcessEnd::Clock::time_point deadline) {
    auto& all = registry();
    std::unique_lock lock(all.mutex);
    all.exiting = true;
    all.flushBy = deadline;
    for (auto& [connection, dispatched] : all.live) {
        dispatched->stopping = true;
        dispatched->signal();
    }
    std::vector<ProcessEnd::OwnedThread*> threads;
    for (auto& thread : all.threads) threads.push_back(&thread.owned);
    return ProcessEnd::joinEnded(lock, all.ended, threads, deadline);
}
}  // namespace

std::string DBusConnection::address(Bus bus) {
    const char* set = std::getenv(variable(bus));
    return set ? set : "";
}

std::shared_ptr<sdbus::IConnection> DBusConnection::shared(Bus bus) {
    struct Entry {
        // Held while the bus is joined, which waits for its daemon: one bus that hangs holds up
        // no one who asks for the other.
        std::mutex mutex;
        std::string address;
        std::shared_ptr<Dispatched> dispatched;
        std::atomic<std::uint64_t> attempts{0};
    };
    static auto* entries = new Entry[2];  // lives as long as the process, as its connections do
    registry();
    const auto wanted = address(bus);
    auto& entry = entries[bus == Bus::session ? 0 : 1];
    std::shared_ptr<Dispatched> stale;  // let go of outside the lock
    const std::uint64_t seen = entry.attempts;
    std::lock_guard lock(entry.mutex);
    const bool usable = entry.dispatched && entry.address == wanted && !entry.dispatched->lost;
    if (!usable) {
        // Whoever held the lock meanwhile has just tried this address in vain: no second wait.
        if (entry.attempts != seen && !entry.dispatched && entry.address == wanted) return nullptr;
        stale = std::move(entry.dispatched);
        entry.address = wanted;
        ++entry.attempts;
        try {
            entry.dispatched = open(bus);
        } catch (const sdbus::Error&) {
            entry.dispatched.reset();
        }
    }
    if (!entry.dispatched) return nullptr;
    return connectionOf(entry.dispatched);
}

std::shared_ptr<sdbus::IConnection> DBusConnection::separate(Bus bus) {
    try {
        return connectionOf(open(bus));
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

void DBusConnection::wake(sdbus::IConnection& connection) {
    auto& all = registry();
    std::lock_guard lock(all.mutex);
    auto found = all.live.find(&connection);
    if (found == all.live.end() || found->second->threadId == std::this_thread::get_id()) return;
    found->second->signal();
}

std::shared_ptr<void> DBusConnection::whenLost(sdbus::IConnection& connection, std::function<void()> lost) {
    auto token = std::make_shared<std::function<void()>>(std::move(lost));
    Dispatched* dispatched = nullptr;
    {
        auto& all = registry();
        std::lock_guard lock(all.mutex);
        if (auto found = all.live.find(&connection); found != all.live.end()) dispatched = found->second;
    }
    bool already = !dispatched;
    if (dispatched) {
        // The caller holds the connection, so its dispatcher stays while this runs.
        std::lock_guard lock(dispatched->watchersMutex);
        already = dispatched->lost;
        if (!already) dispatched->watchers.push_back(token);
    }
    if (already) (*token)();
    return token;
}

bool DBusConnection::hasOwner(sdbus::IConnection& connection, const std::string& name,
                              std::chrono::milliseconds timeout) {
    bool owned = false;
    try {
        ProcessEnd::WaitingElsewhere waiting;
        auto daemon = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("NameHasOwner")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(timeout)
            .withArguments(name)
            .storeResultsTo(owned);
    } catch (const sdbus::Error&) {
        owned = false;
    }
    wake(connection);
    return owned;
}
