#include "Foundation/DispatchQueue.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "Foundation/FatalError.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/Thread.hpp"
#include "Foundation/Timer.hpp"

namespace {
constexpr int maximumWorkers = 64;
constexpr auto workerIdleTime = std::chrono::seconds(2);

// The queues whose blocks run on this thread, innermost last.
thread_local std::vector<const DispatchQueue::Impl*> runningQueues;

struct RunningScope {
    explicit RunningScope(const DispatchQueue::Impl* queue) { runningQueues.push_back(queue); }
    ~RunningScope() { runningQueues.pop_back(); }
};
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

    void sync(const std::function<void()>& block, bool barrier) {
        if (std::find(runningQueues.begin(), runningQueues.end(), this) != runningQueues.end())
            fatalError("dispatch sync on queue \"" + label + "\" from a block running on it");
        const bool isExclusive = exclusive(barrier);
        SyncTicket ticket;
        {
            std::unique_lock lock(mutex_);
            pending_.push_back(Item{nullptr, isExclusive, &ticket});
            pump(lock);
            ticket.cv.wait(lock, [&] { return ticket.started; });
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
        while (!pending_.empty()) {
            Item& head = pending_.front();
            if (exclusiveRunning_ || (head.exclusive && running_ > 0)) break;
            ++running_;
            if (head.exclusive) exclusiveRunning_ = true;
            if (head.ticket) {
                head.ticket->started = true;
                head.ticket->cv.notify_all();
            } else {
                ready_.push_back(std::move(head));
                // Each idle worker takes one ready block when it wakes, also one that was woken
                // but has not run yet: more ready blocks than idle workers want a new worker.
                if (ready_.size() > static_cast<std::size_t>(idle_) && workers_ < maximumWorkers) {
                    ++workers_;
                    std::thread([self = shared_from_this()] { self->work(); }).detach();
                } else {
                    workCv_.notify_one();
                }
            }
            pending_.pop_front();
        }
    }

    void finished(bool wasExclusive) {
        std::unique_lock lock(mutex_);
        --running_;
        if (wasExclusive) exclusiveRunning_ = false;
        pump(lock);
    }

    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            bool got = workCv_.wait_for(lock, workerIdleTime, [&] { return !ready_.empty(); });
            --idle_;
            if (!got) {
                --workers_;
                return;
            }
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
    std::condition_variable workCv_;
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
    std::thread([impl = impl_, seconds, block = std::move(block)]() mutable {
        std::this_thread::sleep_for(std::chrono::duration<double>(std::max(seconds, 0.0)));
        impl->async(std::move(block), false);
    }).detach();
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

std::string DispatchQueue::currentLabel() {
    if (runningQueues.empty()) return {};
    return runningQueues.back()->label;
}
