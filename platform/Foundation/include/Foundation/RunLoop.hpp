#pragma once
// The main run loop: it fires due timers, runs the blocks posted to the main queue, lets observers
// do their per-pass work (layout and display), and sleeps until the next timer or a wake-up.
// With a virtual clock, tests drive it by hand: runUntilIdle() and advance(seconds).
//
// While it runs, the window system is heard between passes even when blocks keep coming (the
// waiter is asked without sleeping), and a pass gives way after 50 ms of blocks, leaving the rest
// first in line for the next: a quit asked of the window system (or by a signal it turns into a
// quit) ends the loop after the block at hand, however much work is queued.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "Foundation/Timer.hpp"

class RunLoop {
public:
    /// How the loop sleeps between passes. The default waits on a condition variable; a window
    /// backend installs one that waits for window-system events and delivers them.
    class Waiter {
    public:
        virtual ~Waiter() = default;
        /// Sleeps at most `timeout` seconds (forever when absent), or until wake() is called.
        virtual void wait(std::optional<double> timeout) = 0;
        /// Ends a wait in progress or the next one; may be called from any thread.
        virtual void wake() = 0;
    };

    static RunLoop& main();

    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    void add(const std::shared_ptr<Timer>& timer);
    /// Queues a block to run on a later pass; safe from any thread; blocks run in order.
    void perform(std::function<void()> block);

    /// Adds work done on every pass before the loop sleeps; returns a token for removeObserver.
    std::uint64_t addObserver(std::function<void()> beforeWaiting);
    void removeObserver(std::uint64_t token);

    void setWaiter(std::shared_ptr<Waiter> waiter);

    /// Runs until stop() is called; a block that stops it is the last to run.
    void run();
    /// Runs passes until the predicate holds or `timeout` seconds of real time have passed;
    /// returns whether the predicate holds.
    bool runUntil(const std::function<bool()>& predicate, double timeout);
    void stop();

    /// One pass without sleeping: posted blocks, then due timers, then observers.
    /// Returns whether anything ran.
    bool runOnce();
    /// Passes until no block is waiting and no timer is due at the current time.
    void runUntilIdle();
    /// Virtual clock only: moves time forward by `seconds`, firing every timer at its own time.
    void advance(double seconds);

    /// The earliest fire date of a valid timer.
    std::optional<double> nextFireDate() const;
    std::size_t timerCount() const;
    /// Invalidates and forgets every timer (tests end this way).
    void invalidateAllTimers();

private:
    bool runPostedBlocks();
    bool fireDueTimers();
    void runObservers();
    void wake();

    std::vector<std::shared_ptr<Timer>> timers_;
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    bool runningPosted_ = false;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> observers_;
    std::uint64_t nextObserverToken_ = 1;
    std::shared_ptr<Waiter> waiter_;
    std::atomic<bool> stopped_ = false;
    bool running_ = false;  // inside run()
};
