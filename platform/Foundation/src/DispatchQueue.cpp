#include "Foundation/DispatchQueue.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <future>
#include <list>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "Foundation/FatalError.hpp"
#include "Foundation/ProcessEnd.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/Thread.hpp"
#include "Foundation/Timer.hpp"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int maximumWorkers = 64;
constexpr auto workerIdleTime = std::chrono::seconds(2);
// How often a caller waiting for its turn behind blocks that found no thread to start tries again.
constexpr auto startAgain = std::chrono::milliseconds(100);

// The queues whose blocks run on this thread, innermost last.
thread_local std::vector<const DispatchQueue::Impl*> runningQueues;

struct RunningScope {
    explicit RunningScope(const DispatchQueue::Impl* queue) { runningQueues.push_back(queue); }
    ~RunningScope() { runningQueues.pop_back(); }
};

// Every thread the queues run on, so that the end of the process can stop and join them all.
struct Workers {
    struct Worker {
        ProcessEnd::OwnedThread owned;  // not running once it has let go of everything and only returns
        std::weak_ptr<DispatchQueue::Impl> queue;
    };
    std::mutex mutex;
    std::condition_variable ended;  // a worker has ended
    std::list<Worker> all;          // those ended too, until they are joined
    std::atomic<bool> stopping{false};
    bool endKnows = false;  // the end of the process has this owner's stop
};

Workers& workers() {
    static auto* made = new Workers();  // lives as long as the process
    return *made;
}

bool stopWorkers(ProcessEnd::Clock::time_point deadline);
}  // namespace

class DispatchQueue::Impl : public std::enable_shared_from_this<DispatchQueue::Impl> {
public:
    Impl(std::string label, bool concurrent, bool main) : label(std::move(label)), concurrent(concurrent), main(main) {}

    const std::string label;
    const bool concurrent;
    const bool main;

    void async(std::function<void()> block, bool barrier) {
        std::unique_lock lock(mutex_);
        pending_.push_back(Item{std::move(block), exclusive(barrier), nullptr});
        pump(lock);
    }

    // Keeps the block until `deadline`; a worker of the queue waits for the earliest one.
    void asyncAt(Clock::time_point deadline, std::function<void()> block) {
        std::unique_lock lock(mutex_);
        delayed_.emplace(deadline, std::move(block));
        keepTime();
    }

    // Wakes the workers, which end once their block has returned.
    void stop() {
        std::lock_guard lock(mutex_);
        workCv_.notify_all();
    }

    void sync(const std::function<void()>& block, bool barrier) {
        if (std::find(runningQueues.begin(), runningQueues.end(), this) != runningQueues.end())
            fatalError("dispatch sync on queue \"" + label + "\" from a block running on it");
        const bool isExclusive = exclusive(barrier);
        SyncTicket ticket;
        {
            std::unique_lock lock(mutex_);
            pending_.push_back(Item{nullptr, isExclusive, &ticket});
            pump(lock);
            while (!ticket.started) {
                if (workers_ > 0 || ready_.empty()) {
                    ticket.cv.wait(lock);
                } else if (ticket.cv.wait_for(lock, startAgain) == std::cv_status::timeout) {
                    // Waits behind blocks that found no thread to start: tries again meanwhile.
                    startWorker();
                }
            }
        }
        struct Finish {
            Impl* queue;
            bool exclusive;
            ~Finish() { queue->finished(exclusive); }
        } finish{this, isExclusive};
        RunningScope scope(this);
        block();
    }

private:
    struct SyncTicket {
        bool started = false;
        std::condition_variable cv;
    };
    struct Item {
        std::function<void()> block;
        bool exclusive;
        SyncTicket* ticket;  // set for a sync call: the caller runs the block itself
    };

    bool exclusive(bool barrier) const { return barrier || !concurrent; }

    // Starts waiting items in order for as long as the rules allow.
    void pump(std::unique_lock<std::mutex>&) {
        bool startFailed = false;
        while (!pending_.empty()) {
            if (exclusiveRunning_ || (pending_.front().exclusive && running_ > 0)) break;
            Item item = std::move(pending_.front());
            pending_.pop_front();
            ++running_;
            if (item.exclusive) exclusiveRunning_ = true;
            if (item.ticket) {
                item.ticket->started = true;
                item.ticket->cv.notify_all();
                continue;
            }
            ready_.push_back(std::move(item));
            // Each idle worker takes one ready block when it wakes, also one that was woken but
            // has not run yet: more ready blocks than idle workers want a new worker.
            if (!startFailed && ready_.size() > static_cast<std::size_t>(idle_) && workers_ < maximumWorkers) {
                startFailed = !startWorker();
            } else {
                workCv_.notify_one();
            }
        }
        // Blocks that found no thread to start (at the process's limit of threads) wait for the
        // next chance, which is now.
        if (!startFailed && workers_ == 0 && (!ready_.empty() || !delayed_.empty())) startWorker();
    }

    void finished(bool wasExclusive) {
        std::unique_lock lock(mutex_);
        --running_;
        if (wasExclusive) exclusiveRunning_ = false;
        pump(lock);
    }

    // With the queue's mutex held. Once the process ends, or where no thread can be started, no
    // worker starts (false): what is left waits.
    bool startWorker() {
        auto& all = workers();
        std::lock_guard lock(all.mutex);
        if (all.stopping) return false;
        if (!all.endKnows) {
            if (!ProcessEnd::add(ProcessEnd::Stage::queues, stopWorkers)) {
                all.stopping = true;
                return false;
            }
            all.endKnows = true;
        }
        // Workers that have ended are joined by the next one to start (they only return).
        for (auto it = all.all.begin(); it != all.all.end();) {
            if (it->owned.running) {
                ++it;
                continue;
            }
            it->owned.thread.join();
            it = all.all.erase(it);
        }
        all.all.push_back(Workers::Worker{{}, weak_from_this()});
        auto worker = std::prev(all.all.end());
        // The queue may go with the thread, once its work has returned and outside every lock.
        if (!ProcessEnd::start(worker->owned, all.mutex, all.ended, [self = shared_from_this()] { self->work(); })) {
            all.all.erase(worker);  // under the lock throughout: no one saw it
            return false;
        }
        ++workers_;
        return true;
    }

    // Sees that a worker waits for the earliest delayed block: an idle one, told to look again, or
    // a new one where every worker is busy and the queue would run the block beside them.
    void keepTime() {
        if (delayed_.empty()) return;
        if (workers_ == 0 || (concurrent && idle_ == 0 && workers_ < maximumWorkers)) {
            startWorker();
        } else {
            workCv_.notify_all();
        }
    }

    // Moves the delayed blocks whose time has come to the queue.
    void releaseDue(std::unique_lock<std::mutex>& lock) {
        const auto now = Clock::now();
        bool released = false;
        while (!delayed_.empty() && delayed_.begin()->first <= now) {
            pending_.push_back(Item{std::move(delayed_.begin()->second), exclusive(false), nullptr});
            delayed_.erase(delayed_.begin());
            released = true;
        }
        if (released) pump(lock);
    }

    void work() {
        std::unique_lock lock(mutex_);
        auto& all = workers();
        for (;;) {
            // Idle while it looks for work, so that a block it releases itself starts no worker.
            ++idle_;
            bool idleTooLong = false;
            for (;;) {
                releaseDue(lock);
                if (all.stopping || !ready_.empty()) break;
                if (!delayed_.empty() && !timekeeper_) {
                    timekeeper_ = true;
                    workCv_.wait_until(lock, delayed_.begin()->first);
                    timekeeper_ = false;
                } else if (workCv_.wait_for(lock, workerIdleTime) == std::cv_status::timeout && ready_.empty() &&
                           (delayed_.empty() || timekeeper_)) {
                    idleTooLong = true;
                    break;
                }
            }
            --idle_;
            if (idleTooLong || all.stopping) {
                --workers_;
                return;
            }
            keepTime();  // another keeps the time while this one works
            Item item = std::move(ready_.front());
            ready_.pop_front();
            lock.unlock();
            {
                RunningScope scope(this);
                item.block();
                item.block = nullptr;  // captured values go before the next block starts
            }
            lock.lock();
            --running_;
            if (item.exclusive) exclusiveRunning_ = false;
            pump(lock);
        }
    }

    std::mutex mutex_;
    std::deque<Item> pending_;
    std::deque<Item> ready_;
    std::multimap<Clock::time_point, std::function<void()>> delayed_;
    std::condition_variable workCv_;
    bool timekeeper_ = false;  // a worker waits for the earliest delayed block
    int running_ = 0;
    bool exclusiveRunning_ = false;
    int workers_ = 0;
    int idle_ = 0;
};

DispatchQueue::DispatchQueue(std::string label, Attributes attributes)
    : impl_(std::make_shared<Impl>(std::move(label), attributes == Attributes::concurrent, false)) {}

DispatchQueue& DispatchQueue::main() {
    static DispatchQueue* queue = new DispatchQueue(std::make_shared<Impl>("com.apple.main-thread", false, true));
    return *queue;
}

DispatchQueue& DispatchQueue::global() {
    static DispatchQueue* queue = new DispatchQueue("com.apple.root.default-qos", Attributes::concurrent);
    return *queue;
}

const std::string& DispatchQueue::label() const { return impl_->label; }
bool DispatchQueue::isConcurrent() const { return impl_->concurrent; }
bool DispatchQueue::isMain() const { return impl_->main; }

void DispatchQueue::async(std::function<void()> block, Flags flags) const {
    if (impl_->main) {
        auto* queue = impl_.get();
        RunLoop::main().perform([queue, block = std::move(block)] {
            RunningScope scope(queue);
            block();
        });
        return;
    }
    impl_->async(std::move(block), flags == Flags::barrier);
}

void DispatchQueue::asyncAfter(double seconds, std::function<void()> block) const {
    if (impl_->main) {
        auto post = [block = std::move(block)](Timer&) { DispatchQueue::main().async(block); };
        if (Thread::isMainThread()) {
            Timer::scheduledTimer(seconds, false, std::move(post));
        } else {
            RunLoop::main().perform([seconds, post = std::move(post)] { Timer::scheduledTimer(seconds, false, post); });
        }
        return;
    }
    const auto delay = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::max(seconds, 0.0)));
    impl_->asyncAt(Clock::now() + delay, std::move(block));
}

void DispatchQueue::syncBlock(const std::function<void()>& block, Flags flags) const {
    if (impl_->main) {
        if (Thread::isMainThread()) fatalError("dispatch sync on the main queue from the main thread");
        std::promise<void> done;
        RunLoop::main().perform([&] {
            RunningScope scope(impl_.get());
            try {
                block();
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        });
        done.get_future().get();
        return;
    }
    impl_->sync(block, flags == Flags::barrier);
}

namespace {
// The end of the process: wakes every worker, which ends once its block has returned; blocks not
// yet started, and those queued later, never run.
bool stopWorkers(ProcessEnd::Clock::time_point deadline) {
    auto& all = workers();
    std::vector<std::shared_ptr<DispatchQueue::Impl>> queues;
    {
        std::lock_guard lock(all.mutex);
        all.stopping = true;
        for (const auto& worker : all.all) {
            if (auto queue = worker.queue.lock()) queues.push_back(std::move(queue));
        }
    }
    for (const auto& queue : queues) queue->stop();
    queues.clear();
    std::unique_lock lock(all.mutex);
    std::vector<ProcessEnd::OwnedThread*> threads;
    for (auto& worker : all.all) threads.push_back(&worker.owned);
    const bool joined = ProcessEnd::joinEnded(lock, all.ended, threads, deadline);
    // A worker held (by a bus that hangs, or by the main queue it waits for) keeps its entry: the
    // thread still refers to it.
    all.all.remove_if([](const Workers::Worker& worker) { return !worker.owned.thread.joinable(); });
    return joined;
}
}  // namespace

std::string DispatchQueue::currentLabel() {
    if (runningQueues.empty()) return {};
    return runningQueues.back()->label;
}
