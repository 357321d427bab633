#include "Foundation/ProcessEnd.hpp"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>

#include "Foundation/SystemLog.hpp"
#include "Foundation/Thread.hpp"

namespace {
using ProcessEnd::Clock;

// The settings writers' time for their last write, as the application has always given them.
constexpr auto settingsPatience = std::chrono::seconds(5);
// The time every later stage shares for the threads that are busy.
constexpr auto threadsPatience = std::chrono::seconds(1);
// How often the end looks again at threads it waits for: one may meanwhile begin to wait for
// another process, which its owner does not tell of.
constexpr auto lookAgain = std::chrono::milliseconds(10);
constexpr std::size_t stageCount = static_cast<std::size_t>(ProcessEnd::Stage::queues) + 1;

struct State {
    std::mutex mutex;  // guards the two below, never held while a stop runs
    std::array<ProcessEnd::Stop, stageCount> stops;
    int passed = -1;  // the last stage the end has run
    std::mutex running;  // held while the end runs
    bool ran = false;
    std::mutex waitingMutex;  // guards the two below
    std::multiset<std::thread::id> waiting;  // threads waiting for another process
    std::map<std::thread::id, Clock::time_point> late;  // threads that wrote settings late, until when
    bool forked = false;  // set in a child, while it has one thread only
};

State& state();

// A child has only the thread that forked: the others, and what they held here, stayed in the
// parent. The child ends anew, also when the parent was ending: the thread that held the end's lock
// is one of those.
void prepareFork() {
    state().mutex.lock();
    state().waitingMutex.lock();
}

void parentAfterFork() {
    state().waitingMutex.unlock();
    state().mutex.unlock();
}

thread_local bool endsHere = false;  // the end runs on this thread

void childAfterFork() {
    auto& all = state();
    all.forked = true;
    std::construct_at(&all.running);
    all.ran = false;
    all.passed = -1;
    endsHere = false;
    all.waiting.clear();
    all.late.clear();
    all.waitingMutex.unlock();
    all.mutex.unlock();
}

State& state() {
    static auto* made = [] {
        auto* made = new State();  // lives as long as the process
        ::pthread_atfork(prepareFork, parentAfterFork, childAfterFork);
        return made;
    }();
    return *made;
}

// Made before main, ahead of the fork handlers that owners make: a fork's preparation runs handlers
// in the reverse order of their making, so it takes the end's locks after theirs, under which an
// owner registers.
[[maybe_unused]] const State& madeBeforeMain = state();

const char* ownerOf(ProcessEnd::Stage stage) {
    switch (stage) {
        case ProcessEnd::Stage::settings: return "the settings writers";
        case ProcessEnd::Stage::busSends: return "the calls handed to the buses";
        case ProcessEnd::Stage::busSocketWatch: return "the watch for bus sockets";
        case ProcessEnd::Stage::busThreads: return "the buses' threads";
        case ProcessEnd::Stage::transfers: return "the HTTP transfers";
        case ProcessEnd::Stage::queues: return "the dispatch queues";
    }
    return "";
}

void atExit(int status, void*) { ProcessEnd::run(status); }

// How long the end waits for `thread`, whose stage gives it until `deadline`: none when it waits for
// another process.
std::optional<Clock::time_point> patienceFor(std::thread::id thread, Clock::time_point deadline) {
    auto& all = state();
    std::lock_guard lock(all.waitingMutex);
    if (all.waiting.count(thread) > 0) return std::nullopt;
    if (const auto late = all.late.find(thread); late != all.late.end()) return std::max(deadline, late->second);
    return deadline;
}
}  // namespace

bool ProcessEnd::add(Stage stage, Stop stop) {
    auto& all = state();
    const auto index = static_cast<std::size_t>(stage);
    std::lock_guard lock(all.mutex);
    if (static_cast<int>(index) <= all.passed) return false;
    if (all.stops[index]) return true;
    all.stops[index] = std::move(stop);
    // Again with each owner, so that the end runs before the statics made until now are destroyed
    // (it runs once, whichever registration calls it first).
    ::on_exit(atExit, nullptr);
    return true;
}

void ProcessEnd::run(int status) {
    if (endsHere) return;  // exit() called from a stop
    auto& all = state();
    std::lock_guard running(all.running);
    if (all.ran) return;
    all.ran = true;
    endsHere = true;
    // A forked child has no thread of ours to stop: what the owners hold is the parent's, and a
    // lock of theirs may have been held by one of its threads at the fork. It only writes its
    // settings.
    const bool forked = all.forked;
    bool joined = true;
    std::string held;  // the owners whose threads were still running
    std::optional<Clock::time_point> threadsDeadline;
    for (std::size_t index = 0; index < stageCount; ++index) {
        // The stage is passed once its stop has run, or while it has none: an owner that
        // registers meanwhile is stopped all the same.
        for (bool stopped = false;;) {
            Stop stop;
            {
                std::lock_guard lock(all.mutex);
                if (stopped || !all.stops[index] || (forked && index != static_cast<std::size_t>(Stage::settings))) {
                    all.passed = static_cast<int>(index);
                    break;
                }
                stop = all.stops[index];
            }
            Clock::time_point deadline;
            if (index == static_cast<std::size_t>(Stage::settings)) {
                deadline = Clock::now() + settingsPatience;
            } else {
                if (!threadsDeadline) threadsDeadline = Clock::now() + threadsPatience;
                deadline = *threadsDeadline;
            }
            if (!stop(deadline)) {
                joined = false;
                held += std::string(held.empty() ? "" : ", ") + ownerOf(static_cast<Stage>(index));
            }
            stopped = true;
        }
    }
    endsHere = false;
    if (joined) return;
    // A thread still runs: the statics stay as they are, and the process ends here.
    SystemLog::write("The process ended without destroying its statics or running its exit handlers: " + held +
                     " still had a thread running after the end's time.");
    std::fflush(nullptr);
    ::_exit(status);
}

bool ProcessEnd::forked() { return state().forked; }

bool ProcessEnd::start(OwnedThread& owned, std::mutex& mutex, std::condition_variable& ended, std::function<void()> body) {
    // A child's end waits for no thread, and its owners' locks may be held by the parent's threads.
    if (forked()) return false;
    try {
        owned.thread = Thread::start([&owned, &mutex, &ended, body = std::move(body)]() mutable {
            body();
            body = nullptr;  // what it holds goes before the thread counts as ended
            std::lock_guard lock(mutex);
            owned.running = false;
            ended.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool ProcessEnd::joinEnded(std::unique_lock<std::mutex>& lock, std::condition_variable& ended,
                           const std::vector<OwnedThread*>& threads, Clock::time_point deadline) {
    const auto self = std::this_thread::get_id();
    for (;;) {
        // The earliest time one of the threads still waited for is given.
        std::optional<Clock::time_point> next;
        const auto now = Clock::now();
        for (const auto* owned : threads) {
            if (!owned->running || owned->thread.get_id() == self) continue;
            const auto until = patienceFor(owned->thread.get_id(), deadline);
            if (until && now < *until) next = std::min(next.value_or(*until), *until);
        }
        if (!next) break;
        ended.wait_until(lock, std::min(*next, now + lookAgain));
    }
    bool all = true;
    for (auto* owned : threads) {
        if (owned->thread.get_id() == self) continue;
        if (owned->running) {
            all = false;  // held: left as it is
        } else if (owned->thread.joinable()) {
            owned->thread.join();
        }
    }
    return all;
}

ProcessEnd::WaitingElsewhere::WaitingElsewhere() {
    auto& all = state();
    std::lock_guard lock(all.waitingMutex);
    all.waiting.insert(std::this_thread::get_id());
}

ProcessEnd::WaitingElsewhere::~WaitingElsewhere() {
    auto& all = state();
    std::lock_guard lock(all.waitingMutex);
    all.waiting.erase(all.waiting.find(std::this_thread::get_id()));
}

void ProcessEnd::writesLate(Clock::time_point until) {
    auto& all = state();
    std::lock_guard lock(all.waitingMutex);
    auto& latest = all.late[std::this_thread::get_id()];
    latest = std::max(latest, until);
}
