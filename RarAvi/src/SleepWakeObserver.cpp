#include "RarAvi/SleepWakeObserver.hpp"

#include "AppKit/NSWorkspace.hpp"

namespace RarAvi {

struct SleepWakeObserver::State {
    std::weak_ptr<SleepWakeObserverDelegate> delegate;

    void willSleep() const {
        if (auto alive = delegate.lock()) alive->willSleep();
    }
    void didWake() const {
        if (auto alive = delegate.lock()) alive->didWake();
    }
};

const std::shared_ptr<SleepWakeObserver>& SleepWakeObserver::shared() {
    static const std::shared_ptr<SleepWakeObserver> observer = [] {
        auto made = std::make_shared<SleepWakeObserver>();
        made->startObserving();
        return made;
    }();
    return observer;
}

SleepWakeObserver::SleepWakeObserver() : state_(std::make_shared<State>()) {}

SleepWakeObserver::~SleepWakeObserver() { stopObserving(); }

std::shared_ptr<SleepWakeObserverDelegate> SleepWakeObserver::delegate() const { return state_->delegate.lock(); }

void SleepWakeObserver::setDelegate(const std::shared_ptr<SleepWakeObserverDelegate>& delegate) {
    state_->delegate = delegate;
}

void SleepWakeObserver::startObserving() {
    auto& center = NSWorkspace::shared().notificationCenter();
    // The centre holds the state weakly and keeps it alive while it calls, so the raw pointer
    // is valid whenever a callback runs.
    State* state = state_.get();
    center.addObserver(state_, [state](const Notification&) { state->willSleep(); }, NSWorkspaceWillSleepNotification);
    center.addObserver(state_, [state](const Notification&) { state->didWake(); }, NSWorkspaceDidWakeNotification);
}

void SleepWakeObserver::stopObserving() {
    auto& center = NSWorkspace::shared().notificationCenter();
    center.removeObserver(state_, NSWorkspaceWillSleepNotification);
    center.removeObserver(state_, NSWorkspaceDidWakeNotification);
}

void SleepWakeObserver::willSleep(const Notification&) { state_->willSleep(); }

void SleepWakeObserver::didWake(const Notification&) { state_->didWake(); }

}  // namespace RarAvi
