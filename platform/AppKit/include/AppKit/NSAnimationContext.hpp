#pragma once
// A group of view changes meant to animate together over a duration. The platform shows the end
// of view animations at once: the group's changes are made when it runs, in its context, whose
// settings they may read and set.
#include <functional>

class NSAnimationContext {
public:
    /// Runs the changes at once with a new context (a duration of a quarter second).
    static void runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes);

    /// Seconds the group's animations would take.
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds; }

private:
    double duration_ = 0.25;
};
