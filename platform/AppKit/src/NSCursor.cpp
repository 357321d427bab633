#include "AppKit/NSCursor.hpp"

#include <mutex>

namespace {
std::mutex currentMutex;
std::shared_ptr<NSCursor>& currentCursor() {
    static std::shared_ptr<NSCursor> cursor = NSCursor::arrowCursor();
    return cursor;
}
}  // namespace

std::shared_ptr<NSCursor> NSCursor::arrowCursor() {
    static const auto cursor = std::make_shared<NSCursor>("arrow");
    return cursor;
}

std::shared_ptr<NSCursor> NSCursor::pointingHandCursor() {
    static const auto cursor = std::make_shared<NSCursor>("pointingHand");
    return cursor;
}

std::shared_ptr<NSCursor> NSCursor::current() {
    std::lock_guard lock(currentMutex);
    return currentCursor();
}

void NSCursor::set() {
    std::lock_guard lock(currentMutex);
    currentCursor() = shared_from_this();
}
