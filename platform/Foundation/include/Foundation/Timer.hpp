#pragma once
// A timer that fires a block once or repeatedly on a run loop. A repeating timer that falls behind
// skips the firings it missed and keeps its cadence.
#include <functional>
#include <memory>

#include "Foundation/Date.hpp"

class RunLoop;

class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Block = std::function<void(Timer&)>;

    /// A timer that is not yet on a run loop; its first firing is `interval` seconds from now.
    static std::shared_ptr<Timer> make(double interval, bool repeats, Block block);
    /// A timer made and added to the main run loop.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Block block);

    Timer(double interval, bool repeats, Block block);

    /// Runs the block now. A one-shot timer is then invalidated; a repeating one keeps its schedule.
    void fire();
    /// Stops the timer for good; the run loop lets go of it.
    void invalidate();
    bool isValid() const { return valid_; }
    bool repeats() const { return repeats_; }
    double timeInterval() const { return interval_; }
    Date fireDate() const { return fireDate_; }
    void setFireDate(Date date) { fireDate_ = date; }
    double tolerance() const { return tolerance_; }
    void setTolerance(double tolerance) { tolerance_ = tolerance; }

private:
    friend class RunLoop;
    /// Called by the run loop when the fire date has come: fires, then moves the fire date past `now`.
    void fireOnSchedule(double now);

    double interval_;
    bool repeats_;
    Block block_;
    Date fireDate_;
    double tolerance_ = 0;
    bool valid_ = true;
};
