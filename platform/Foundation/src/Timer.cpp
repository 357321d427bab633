#include "Foundation/Timer.hpp"

#include <cmath>

#include "Foundation/RunLoop.hpp"

namespace {
// A repeating timer with no interval would spin; the platform uses a tenth of a millisecond.
constexpr double minimumRepeatInterval = 0.0001;
}

Timer::Timer(double interval, bool repeats, Block block)
    : interval_(repeats && interval <= 0 ? minimumRepeatInterval : std::max(interval, 0.0)),
      repeats_(repeats),
      block_(std::move(block)),
      fireDate_(Date().addingTimeInterval(interval_)) {}

std::shared_ptr<Timer> Timer::make(double interval, bool repeats, Block block) {
    return std::make_shared<Timer>(interval, repeats, std::move(block));
}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Block block) {
    auto timer = make(interval, repeats, std::move(block));
    RunLoop::main().add(timer);
    return timer;
}

void Timer::fire() {
    if (!valid_) return;
    auto keepAlive = shared_from_this();
    auto block = block_;
    if (block) block(*this);
    if (!repeats_) invalidate();
}

void Timer::invalidate() {
    valid_ = false;
    block_ = nullptr;
}

void Timer::fireOnSchedule(double now) {
    if (repeats_) {
        // Skip the firings missed while the loop was busy: the next one is the first on the
        // original cadence that lies after now.
        double next = fireDate_.timeIntervalSince1970() + interval_;
        if (next <= now) next += std::floor((now - next) / interval_ + 1.0) * interval_;
        fireDate_ = Date(next);
    }
    fire();
}
