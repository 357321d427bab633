#include "AppKit/NSAnimationContext.hpp"

#include <deque>

namespace {
// A deque keeps each open group's context in place while inner groups open and close.
std::deque<NSAnimationContext>& openGroups() {
    thread_local std::deque<NSAnimationContext> groups;
    return groups;
}
}  // namespace

void NSAnimationContext::runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes,
                                           const std::function<void()>& completion) {
    auto& groups = openGroups();
    groups.emplace_back();
    struct Close {
        std::deque<NSAnimationContext>& groups;
        ~Close() { groups.pop_back(); }
    };
    {
        Close close{groups};
        if (changes) changes(groups.back());
    }
    if (completion) completion();
}

NSAnimationContext& NSAnimationContext::current() {
    auto& groups = openGroups();
    if (!groups.empty()) return groups.back();
    thread_local NSAnimationContext outside;
    outside.duration_ = 0;
    return outside;
}

int NSAnimationContext::depth() { return static_cast<int>(openGroups().size()); }
