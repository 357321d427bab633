#include "Foundation/backends/DBusConnection.hpp"

#include "BusSocketWatch.hpp"
#include "CurlTransfers.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "Foundation/DispatchQueue.hpp"

namespace {

// The longest the end of the process waits for the dispatch threads.
constexpr auto exitPatience = std::chrono::seconds(1);

const char* variable(DBusConnection::Bus bus) {
    return bus == DBusConnection::Bus::session ? "DBUS_SESSION_BUS_ADDRESS" : "DBUS_SYSTEM_BUS_ADDRESS";
}

struct Dispatched;

// Every connection with a dispatch thread, so that a connection leads to its thread, and so that
// the end of the process can stop them all.
struct Registry {
    std::mutex mutex;
    std::condition_variable ended;  // a dispatch thread has ended
    std::map<const sdbus::IConnection*, Dispatched*> live;
    bool exiting = false;
};

Registry& registry() {
    // Lives as long as the process. The hook is in place before the first bus is joined, so that
    // it runs at exit before anything made before that is ended. sd-bus-c++ makes every value
    // (sdbus::Variant) through a connection of its own that lives in a static: made here first, it
    // is ended only after the hook has stopped every thread that makes or lets go of values.
    static Registry* made = [] {
        auto* registry = new Registry();
        sdbus::Variant();
        std::atexit(DBusConnection::stopThreads);
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
    std::thread thread;
    std::thread::id threadId;
    // Guarded by the registry's mutex.
    bool running = true;
    bool endsItself = false;
    // Guarded by watchersMutex.
    std::mutex watchersMutex;
    std::vector<std::weak_ptr<std::function<void()>>> watchers;

    explicit Dispatched(std::unique_ptr<sdbus::IConnection> made) : connection(std::move(made)) {
        auto& all = registry();
        std::lock_guard lock(all.mutex);
        if (all.exiting) {  // joined as the process began to end: nothing is dispatched any more
            running = false;
            return;
        }
        all.live.emplace(connection.get(), this);
        thread = std::thread([this] { run(); });
        threadId = thread.get_id();
    }

    void signal() {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd, &one, sizeof one);
    }

    ~Dispatched() {
        {
            // Out of the list first: the end of the process, which stops and joins the threads
            // listed, must not join this one too while it is joined here.
            auto& all = registry();
            std::lock_guard lock(all.mutex);
            all.live.erase(connection.get());
        }
        stopping = true;
        signal();
        if (thread.joinable()) thread.join();
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
        running = false;
        all.ended.notify_all();
        if (endsItself && !all.exiting) {
            lock.unlock();
            delete this;
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
    // sd-bus reads the address variable itself (and frees what it made when the bus does not
    // answer, which its explicit-address path does not).
    auto connection = bus == DBusConnection::Bus::session ? sdbus::createSessionBusConnection()
                                                           : sdbus::createSystemBusConnection();
    auto* made = new Dispatched(std::move(connection));
    return std::shared_ptr<Dispatched>(made, [](Dispatched* dispatched) {
        auto& all = registry();
        std::unique_lock lock(all.mutex);
        // At exit a connection is left as it is: closing it would wait to send what is queued.
        if (all.exiting) return;
        if (dispatched->threadId == std::this_thread::get_id()) {
            // Let go of from one of its own callbacks: the thread ends it once the callback returns.
            dispatched->thread.detach();
            dispatched->endsItself = true;
            dispatched->stopping = true;
            return;
        }
        lock.unlock();
        delete dispatched;
    });
}

std::shared_ptr<sdbus::IConnection> connectionOf(const std::shared_ptr<Dispatched>& dispatched) {
    return std::shared_ptr<sdbus::IConnection>(dispatched, dispatched->connection.get());
}

}  // namespace

void DBusConnection::prepare() { registry(); }

void DBusConnection::stopThreads() {
    // First the watch for buses that are away, which would join them again.
    BusSocketWatch::stop();
    auto& all = registry();
    std::unique_lock lock(all.mutex);
    if (!all.exiting) {
        all.exiting = true;
        for (auto& [connection, dispatched] : all.live) {
            dispatched->stopping = true;
            dispatched->signal();
        }
        // A thread held up (by a callback, or by a caller waiting for a bus that hangs) is left to
        // the end of the process.
        const auto deadline = std::chrono::steady_clock::now() + exitPatience;
        all.ended.wait_until(lock, deadline, [&] {
            return std::none_of(all.live.begin(), all.live.end(), [](const auto& entry) { return entry.second->running; });
        });
        for (auto& [connection, dispatched] : all.live) {
            if (!dispatched->thread.joinable()) continue;
            if (dispatched->running) {
                dispatched->thread.detach();
            } else {
                dispatched->thread.join();
            }
        }
    }
    lock.unlock();
    // Then the HTTP transfers' thread, whose transfers answer on dispatch queues.
    CurlTransfers::stopThread();
    // Then the queues' threads, which call and let go of what lives on the buses.
    DispatchQueue::stopThreads();
}

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
