#include "AppKit/NSAnimationContext.hpp"

void NSAnimationContext::runAnimationGroup(const std::function<void(NSAnimationContext&)>& changes) {
    NSAnimationContext context;
    if (changes) changes(context);
}
