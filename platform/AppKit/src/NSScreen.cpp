#include "AppKit/NSScreen.hpp"

#include <mutex>

namespace {
std::mutex& screenMutex() {
    static std::mutex mutex;
    return mutex;
}
std::shared_ptr<NSScreen>& mainScreen() {
    static std::shared_ptr<NSScreen> screen;
    return screen;
}
}  // namespace

std::shared_ptr<NSScreen> NSScreen::main() {
    std::lock_guard lock(screenMutex());
    return mainScreen();
}

void NSScreen::setMain(const std::shared_ptr<NSScreen>& screen) {
    std::lock_guard lock(screenMutex());
    mainScreen() = screen;
}

std::vector<std::shared_ptr<NSScreen>> NSScreen::screens() {
    if (auto screen = main()) return {screen};
    return {};
}
