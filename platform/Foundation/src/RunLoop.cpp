#include "Foundation/RunLoop.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>

#include "Foundation/Clock.hpp"
#include "Foundation/FatalError.hpp"
#include "Foundation/Thread.hpp"

namespace {

class ConditionWaiter final : public RunLoop::Waiter {
public:
    void wait(std::optional<double> timeout) override {
        std::unique_lock lock(mutex_);
        if (!woken_) {
            if (timeout) {
                cv_.wait_for(lock, std::chrono::duration<double>(std::max(*timeout, 0.0)), [&] { return woken_; });
            } else {
                cv_.wait(lock, [&] { return woken_; });
            }
        }
        woken_ = false;
    }
    void wake() override {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = false;
};

const std::thread::id mainThreadId = std::this_thread::get_id();

/// How long run() lets one pass run posted blocks before it hears the window system again.
constexpr std::chrono::milliseconds passBudget{50};

}  // namespace

bool Thread::isMainThread() { return std::this_thread::get_id() == mainThreadId; }

RunLoop& RunLoop::main() {
    static RunLoop* loop = new RunLoop();  // lives as long as the process, blocks may post at exit
    return *loop;
}

RunLoop::RunLoop() : waiter_(std::make_shared<ConditionWaiter>()) {}
RunLoop::~RunLoop() = default;

void RunLoop::add(const std::shared_ptr<Timer>& timer) {
    if (!timer || !timer->isValid()) return;
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
}

void RunLoop::perform(std::function<void()> block) {
    std::shared_ptr<Waiter> waiter;
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(block));
        waiter = waiter_;
    }
    waiter->wake();
}

std::uint64_t RunLoop::addObserver(std::function<void()> beforeWaiting) {
    auto token = nextObserverToken_++;
    observers_.emplace_back(token, std::move(beforeWaiting));
    return token;
}

void RunLoop::removeObserver(std::uint64_t token) {
    std::erase_if(observers_, [&](const auto& entry) { return entry.first == token; });
}

void RunLoop::setWaiter(std::shared_ptr<Waiter> waiter) {
    std::lock_guard lock(postedMutex_);
    waiter_ = waiter ? std::move(waiter) : std::make_shared<ConditionWaiter>();
}

void RunLoop::wake() {
    std::shared_ptr<Waiter> waiter;
    {
        std::lock_guard lock(postedMutex_);
        waiter = waiter_;
    }
    waiter->wake();
}

bool RunLoop::runPostedBlocks() {
    // Blocks never run inside one another: a block that runs the loop again finds this pass busy.
    if (runningPosted_) return false;
    // The blocks posted so far, taken out of the queue, which keeps its memory: a pass with
    // nothing posted allocates nothing.
    std::vector<std::function<void()>> batch;
    {
        std::lock_guard lock(postedMutex_);
        if (posted_.empty()) return false;
        batch.assign(std::make_move_iterator(posted_.begin()), std::make_move_iterator(posted_.end()));
        posted_.clear();
    }
    // The blocks not yet run go back in front, in order.
    auto putBack = [&](std::size_t from) {
        std::lock_guard lock(postedMutex_);
        posted_.insert(posted_.begin(), std::make_move_iterator(batch.begin() + std::ptrdiff_t(from)),
                       std::make_move_iterator(batch.end()));
    };
    const auto started = std::chrono::steady_clock::now();
    runningPosted_ = true;
    for (std::size_t next = 0; next < batch.size(); ++next) {
        auto block = std::move(batch[next]);
        try {
            block();
        } catch (...) {
            putBack(next + 1);
            runningPosted_ = false;
            throw;
        }
        // Inside run(), a stop asked meanwhile, or a long pass, lets the loop end or hear the
        // window system before the rest.
        if (running_ && next + 1 < batch.size() && (stopped_ || std::chrono::steady_clock::now() - started > passBudget)) {
            putBack(next + 1);
            break;
        }
    }
    runningPosted_ = false;
    return true;
}

bool RunLoop::fireDueTimers() {
    // Fire one due timer at a time, the earliest first, so that a timer block may add or
    // invalidate timers freely. Each timer fires at most once a pass.
    std::vector<Timer*> firedThisPass;
    for (;;) {
        const double now = Clock::current()->now();
        std::shared_ptr<Timer> due;
        for (const auto& timer : timers_) {
            if (!timer->isValid() || timer->fireDate().timeIntervalSince1970() > now) continue;
            if (std::find(firedThisPass.begin(), firedThisPass.end(), timer.get()) != firedThisPass.end()) continue;
            if (!due || timer->fireDate() < due->fireDate()) due = timer;
        }
        if (!due) break;
        firedThisPass.push_back(due.get());
        due->fireOnSchedule(now);
    }
    std::erase_if(timers_, [](const auto& timer) { return !timer->isValid(); });
    return !firedThisPass.empty();
}

void RunLoop::runObservers() {
    auto observers = observers_;
    for (auto& observer : observers) {
        const auto& token = observer.first;
        if (std::any_of(observers_.begin(), observers_.end(), [&](const auto& e) { return e.first == token; })) {
            observer.second();
        }
    }
}

bool RunLoop::runOnce() {
    bool ran = runPostedBlocks();
    ran = fireDueTimers() || ran;
    runObservers();
    return ran;
}

void RunLoop::runUntilIdle() {
    while (runOnce()) {
    }
}

std::optional<double> RunLoop::nextFireDate() const {
    std::optional<double> next;
    for (const auto& timer : timers_) {
        if (!timer->isValid()) continue;
        double date = timer->fireDate().timeIntervalSince1970();
        if (!next || date < *next) next = date;
    }
    return next;
}

std::size_t RunLoop::timerCount() const {
    return static_cast<std::size_t>(
        std::count_if(timers_.begin(), timers_.end(), [](const auto& timer) { return timer->isValid(); }));
}

void RunLoop::invalidateAllTimers() {
    auto timers = std::move(timers_);
    timers_.clear();
    for (auto& timer : timers) timer->invalidate();
}

void RunLoop::advance(double seconds) {
    auto clock = std::dynamic_pointer_cast<VirtualClock>(Clock::current());
    if (!clock) fatalError("RunLoop::advance needs a virtual clock");
    const double target = clock->now() + seconds;
    runUntilIdle();
    for (;;) {
        auto next = nextFireDate();
        if (!next || *next > target) break;
        if (*next > clock->now()) clock->set(*next);
        runUntilIdle();
    }
    clock->set(target);
    runUntilIdle();
}

void RunLoop::run() {
    stopped_ = false;
    const bool outer = !running_;
    running_ = true;
    while (!stopped_) {
        runOnce();
        if (stopped_) break;
        bool pending;
        {
            std::lock_guard lock(postedMutex_);
            pending = !posted_.empty();
        }
        std::optional<double> timeout;
        if (auto next = nextFireDate()) timeout = std::max(0.0, *next - Clock::current()->now());
        if (Clock::current()->isVirtual() && timeout) timeout = 0.01;
        // With blocks waiting, the window system is heard without sleeping.
        if (pending) timeout = 0.0;
        std::shared_ptr<Waiter> waiter;
        {
            std::lock_guard lock(postedMutex_);
            waiter = waiter_;
        }
        waiter->wait(timeout);
    }
    if (outer) running_ = false;
    stopped_ = false;
}

bool RunLoop::runUntil(const std::function<bool()>& predicate, double timeout) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + duration_cast<steady_clock::duration>(duration<double>(timeout));
    while (!predicate()) {
        runOnce();
        if (predicate()) return true;
        auto left = duration<double>(deadline - steady_clock::now()).count();
        if (left <= 0) return predicate();
        bool pending;
        {
            std::lock_guard lock(postedMutex_);
            pending = !posted_.empty();
        }
        if (pending) continue;
        double wait = std::min(left, 0.01);
        if (auto next = nextFireDate(); next && !Clock::current()->isVirtual())
            wait = std::min(wait, std::max(0.0, *next - Clock::current()->now()));
        std::shared_ptr<Waiter> waiter;
        {
            std::lock_guard lock(postedMutex_);
            waiter = waiter_;
        }
        waiter->wait(wait);
    }
    return true;
}

void RunLoop::stop() {
    stopped_ = true;
    wake();
}
