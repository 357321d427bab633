#include "Foundation/Clock.hpp"

#include <atomic>
#include <chrono>
#include <mutex>

namespace {
std::mutex clockMutex;
std::shared_ptr<Clock>& installedClock() {
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}
}  // namespace

std::shared_ptr<Clock> Clock::current() {
    std::lock_guard lock(clockMutex);
    return installedClock();
}

void Clock::setCurrent(std::shared_ptr<Clock> clock) {
    std::lock_guard lock(clockMutex);
    installedClock() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

double SystemClock::now() const {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

VirtualClock::VirtualClock(double start) : now_(start) {}

double VirtualClock::now() const {
    std::atomic_thread_fence(std::memory_order_acquire);
    return now_;
}

void VirtualClock::set(double secondsSince1970) {
    now_ = secondsSince1970;
    std::atomic_thread_fence(std::memory_order_release);
}

void VirtualClock::advance(double seconds) { set(now_ + seconds); }
