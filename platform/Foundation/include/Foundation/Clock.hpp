#pragma once
// The time source of the process: the real clock, or a virtual one that tests move by hand.
// Dates, timers and the run loop all read the current clock.
#include <memory>

class Clock {
public:
    virtual ~Clock() = default;
    /// Seconds since 1 January 1970 (UTC), with the fraction.
    virtual double now() const = 0;
    /// A virtual clock only moves when told to; the run loop never sleeps on it.
    virtual bool isVirtual() const { return false; }

    static std::shared_ptr<Clock> current();
    /// Installs a clock for the whole process; nullptr restores the system clock.
    static void setCurrent(std::shared_ptr<Clock> clock);
};

class SystemClock final : public Clock {
public:
    double now() const override;
};

class VirtualClock final : public Clock {
public:
    explicit VirtualClock(double start = 1'700'000'000.0);
    double now() const override;
    bool isVirtual() const override { return true; }
    void set(double secondsSince1970);
    void advance(double seconds);

private:
    double now_;
};
