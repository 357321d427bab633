#pragma once
// Groups of animated view changes. A group's changes are made at once here (nothing moves over
// time); the group records its duration, so that what is changed through it can be recorded as an
// animation of that length, and runs its completion handler as soon as the changes are made.
// Groups nest per thread.
#include <functional>

class NSAnimationContext {
public:
    /// Seconds; 0.25 unless the group sets another.
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds; }
    bool allowsImplicitAnimation() const { return allowsImplicitAnimation_; }
    void setAllowsImplicitAnimation(bool allows) { allowsImplicitAnimation_ = allows; }

    /// Opens a group, runs `changes` with its context, closes it and then runs `completion` (when
    /// there is one).
    static void runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes,
                                  const std::function<void()>& completion = nullptr);
    /// The context of the innermost open group on this thread; outside any group, one whose
    /// settings animate nothing (duration 0).
    static NSAnimationContext& current();
    /// How many groups are open on this thread.
    static int depth();

private:
    double duration_ = 0.25;
    bool allowsImplicitAnimation_ = false;
};
