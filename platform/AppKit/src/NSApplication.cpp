#include "AppKit/NSApplication.hpp"

#include "AppKit/NSWindow.hpp"

NSApplication& NSApplication::shared() {
    static NSApplication application;
    return application;
}

void NSApplication::setAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    appearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

std::shared_ptr<NSAppearance> NSApplication::effectiveAppearance() const {
    return appearance_ ? appearance_ : systemAppearance();
}

std::shared_ptr<NSAppearance> NSApplication::systemAppearance() const {
    return systemAppearance_ ? systemAppearance_ : NSAppearance::named(NSAppearanceNameAqua);
}

void NSApplication::setSystemAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    systemAppearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

std::vector<std::shared_ptr<NSWindow>> NSApplication::windows() const {
    std::erase_if(windows_, [](const auto& w) { return w.expired(); });
    std::vector<std::shared_ptr<NSWindow>> result;
    for (const auto& w : windows_) {
        if (auto window = w.lock()) result.push_back(window);
    }
    return result;
}

void NSApplication::addWindow(const std::shared_ptr<NSWindow>& window) { windows_.push_back(window); }

void NSApplication::effectiveAppearanceMayHaveChanged() {
    for (const auto& window : windows()) window->effectiveAppearanceMayHaveChanged();
}
