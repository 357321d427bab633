#pragma once
// Tells one delegate when the machine is about to sleep and when it has woken, from the
// workspace's notifications.
#include <memory>

#include "Foundation/NotificationCenter.hpp"

namespace RarAvi {

class SleepWakeObserverDelegate {
public:
    virtual ~SleepWakeObserverDelegate() = default;
    virtual void willSleep() = 0;
    virtual void didWake() = 0;
};

class SleepWakeObserver {
public:
    /// The process's observer, made on first use and observing from then on.
    static const std::shared_ptr<SleepWakeObserver>& shared();

    /// An observer with no delegate that does not observe yet.
    SleepWakeObserver();
    /// Stops observing first.
    ~SleepWakeObserver();
    SleepWakeObserver(const SleepWakeObserver&) = delete;
    SleepWakeObserver& operator=(const SleepWakeObserver&) = delete;

    /// Held weakly: the observer never keeps its delegate alive.
    std::shared_ptr<SleepWakeObserverDelegate> delegate() const;
    void setDelegate(const std::shared_ptr<SleepWakeObserverDelegate>& delegate);

    /// Registers for the workspace's will-sleep and did-wake notifications from any sender.
    /// Registering twice means being told twice.
    void startObserving();
    /// Removes both registrations.
    void stopObserving();

    /// What the two notifications call: the delegate's willSleep() / didWake(), when it is alive.
    void willSleep(const Notification& notification);
    void didWake(const Notification& notification);

private:
    struct State;
    // Registered with the notification centre in place of the observer itself, so that a notice
    // being delivered while the observer goes away still finds its delegate reference.
    std::shared_ptr<State> state_;
};

}  // namespace RarAvi
