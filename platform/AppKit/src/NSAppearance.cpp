#include "AppKit/NSAppearance.hpp"

#include <map>

#include "AppKit/NSApplication.hpp"

namespace {
std::shared_ptr<NSAppearance>& threadCurrent() {
    thread_local std::shared_ptr<NSAppearance> current;
    return current;
}
}  // namespace

std::shared_ptr<NSAppearance> NSAppearance::named(const std::string& name) {
    static const std::map<std::string, std::shared_ptr<NSAppearance>> known = [] {
        std::map<std::string, std::shared_ptr<NSAppearance>> table;
        for (const auto* n : {&NSAppearanceNameAqua, &NSAppearanceNameDarkAqua, &NSAppearanceNameVibrantLight,
                              &NSAppearanceNameVibrantDark, &NSAppearanceNameAccessibilityHighContrastAqua,
                              &NSAppearanceNameAccessibilityHighContrastDarkAqua,
                              &NSAppearanceNameAccessibilityHighContrastVibrantLight,
                              &NSAppearanceNameAccessibilityHighContrastVibrantDark}) {
            table.emplace(*n, std::make_shared<NSAppearance>(*n));
        }
        return table;
    }();
    auto it = known.find(name);
    return it == known.end() ? nullptr : it->second;
}

std::shared_ptr<NSAppearance> NSAppearance::current() {
    if (auto appearance = threadCurrent()) return appearance;
    return NSApplication::shared().effectiveAppearance();
}

void NSAppearance::setCurrent(const std::shared_ptr<NSAppearance>& appearance) { threadCurrent() = appearance; }

std::shared_ptr<NSAppearance> NSAppearance::currentDrawing() { return current(); }

void NSAppearance::performAsCurrentDrawingAppearance(const std::function<void()>& block) {
    struct Restore {
        std::shared_ptr<NSAppearance> previous = threadCurrent();
        ~Restore() { threadCurrent() = previous; }
    } restore;
    auto self = weak_from_this().lock();
    threadCurrent() = self ? self : std::make_shared<NSAppearance>(name_);
    block();
}
