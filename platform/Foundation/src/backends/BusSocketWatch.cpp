#include "BusSocketWatch.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "Foundation/ProcessEnd.hpp"
#include "Foundation/URL.hpp"

namespace {

constexpr std::uint32_t folderEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// How long a watch whose caller could not begin what it was told waits to be told again.
constexpr auto tellAgainAfter = std::chrono::seconds(5);
using Clock = std::chrono::steady_clock;

class Watcher {
public:
    static Watcher& shared() {
        static auto* made = new Watcher();  // lives as long as the process
        return *made;
    }

    std::shared_ptr<void> watch(const std::string& path, std::function<bool()> appeared) {
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::string name = std::filesystem::path(path).filename().string();
        if (folder.empty() || name.empty()) return nullptr;
        std::lock_guard lock(mutex_);
        if (stopped_ || inotify_ < 0 || wakeFd_ < 0 || !started()) return nullptr;
        // A folder that does not exist yet is watched for in the nearest one above it that does.
        int descriptor;
        while ((descriptor = ::inotify_add_watch(inotify_, folder.c_str(), folderEvents)) < 0) {
            if (errno != ENOENT || folder == folder.root_path()) return nullptr;
            name = folder.filename().string();
            folder = folder.parent_path();
        }
        const auto id = ++lastId_;
        entries_.push_back({id, descriptor, name, std::make_shared<std::function<bool()>>(std::move(appeared)), {}});
        return std::make_shared<Token>(*this, id);
    }

private:
    struct Entry {
        std::uint64_t id;
        int descriptor;
        std::string name;
        std::shared_ptr<std::function<bool()>> appeared;
        std::optional<Clock::time_point> tellAgain;  // while its caller has not begun
    };

    struct Token {
        Watcher& watcher;
        std::uint64_t id;
        Token(Watcher& of, std::uint64_t entry) : watcher(of), id(entry) {}
        ~Token() { watcher.remove(id); }
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
    };

    Watcher() = default;

    void remove(std::uint64_t id) {
        std::lock_guard lock(mutex_);
        auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.id == id; });
        if (found == entries_.end()) return;
        const int descriptor = found->descriptor;
        entries_.erase(found);
        const bool folderStillWatched = std::any_of(entries_.begin(), entries_.end(),
                                                    [&](const Entry& entry) { return entry.descriptor == descriptor; });
        if (!folderStillWatched && !stopped_) ::inotify_rm_watch(inotify_, descriptor);
    }

    // With the mutex held: starts the thread unless it runs; false where the process is ending or
    // no thread can be started (at the process's limit of threads).
    bool started() {
        if (thread_.thread.joinable()) return true;
        if (!ProcessEnd::add(ProcessEnd::Stage::busSocketWatch,
                             [](ProcessEnd::Clock::time_point deadline) { return shared().stop(deadline); })) {
            stopped_ = true;
            return false;
        }
        return ProcessEnd::start(thread_, mutex_, ended_, [this] { run(); });
    }

    // The end of the process: no watch is kept or made after.
    bool stop(ProcessEnd::Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        stopped_ = true;
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
        if (!thread_.thread.joinable()) return true;
        return ProcessEnd::joinEnded(lock, ended_, {&thread_}, deadline);
    }

    void run() {
        alignas(inotify_event) char buffer[4096];
        while (true) {
            pollfd fds[2] = {{inotify_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            if (::poll(fds, 2, untilTellingAgain()) < 0 && errno != EINTR) return;
            {
                std::lock_guard lock(mutex_);
                if (stopped_) return;
            }
            if (fds[1].revents & POLLIN) {
                // Woken for nothing: by the end of a child forked from this process, which shares
                // the descriptor.
                std::uint64_t count = 0;
                [[maybe_unused]] auto read = ::read(wakeFd_, &count, sizeof count);
            }
            const auto length = ::read(inotify_, buffer, sizeof buffer);
            struct Told {
                std::uint64_t id;
                std::shared_ptr<std::function<bool()>> appeared;
            };
            std::vector<Told> told;
            {
                std::lock_guard lock(mutex_);
                for (ssize_t at = 0; at < length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                    const std::string name = event->len ? event->name : "";
                    // A folder that went, or events lost, may concern anyone: all are told.
                    const bool everyone = event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF);
                    for (const auto& entry : entries_) {
                        if ((event->mask & IN_Q_OVERFLOW) || (entry.descriptor == event->wd && (everyone || entry.name == name))) {
                            told.push_back({entry.id, entry.appeared});
                        }
                    }
                }
                const auto now = Clock::now();
                for (const auto& entry : entries_) {
                    if (entry.tellAgain && *entry.tellAgain <= now) told.push_back({entry.id, entry.appeared});
                }
            }
            for (const auto& one : told) {
                const bool begun = (*one.appeared)();
                std::lock_guard lock(mutex_);
                auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.id == one.id; });
                if (found != entries_.end()) found->tellAgain = begun ? std::nullopt : std::optional(Clock::now() + tellAgainAfter);
            }
        }
    }

    // The poll's timeout: until the earliest watch is told again, none (-1) while none waits so.
    int untilTellingAgain() {
        std::lock_guard lock(mutex_);
        std::optional<Clock::time_point> earliest;
        for (const auto& entry : entries_) {
            if (entry.tellAgain && (!earliest || *entry.tellAgain < *earliest)) earliest = entry.tellAgain;
        }
        if (!earliest) return -1;
        return static_cast<int>(std::max<std::int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(*earliest - Clock::now()).count()));
    }

    const int inotify_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    const int wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::mutex mutex_;  // guards what follows
    bool stopped_ = false;
    std::uint64_t lastId_ = 0;
    std::vector<Entry> entries_;
    ProcessEnd::OwnedThread thread_;
    std::condition_variable ended_;  // the thread has ended
};

}  // namespace

std::optional<std::string> BusSocketWatch::socketPath(DBusConnection::Bus bus, const std::string& address) {
    std::string named = address;
    if (named.empty()) {
        if (bus == DBusConnection::Bus::system) return "/run/dbus/system_bus_socket";
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return std::nullopt;
        return std::string(runtime) + "/bus";
    }
    if (named.find(';') != std::string::npos || named.rfind("unix:", 0) != 0) return std::nullopt;
    std::optional<std::string> path;
    std::size_t start = 5;
    while (start <= named.size()) {
        auto end = named.find(',', start);
        if (end == std::string::npos) end = named.size();
        const std::string pair = named.substr(start, end - start);
        if (pair.rfind("path=", 0) == 0) path = removingPercentEncoding(pair.substr(5));
        start = end + 1;
    }
    if (!path || path->empty() || path->front() != '/') return std::nullopt;
    return path;
}

std::shared_ptr<void> BusSocketWatch::watch(const std::string& path, std::function<bool()> appeared) {
    return Watcher::shared().watch(path, std::move(appeared));
}
