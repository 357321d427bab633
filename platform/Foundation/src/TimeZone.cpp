#include "Foundation/TimeZone.hpp"

#include <mutex>

#include "backends/HostTimeZone.hpp"

namespace {
std::mutex settingMutex;
std::optional<std::string> currentSetting;
}  // namespace

TimeZone::TimeZone(std::string identifier) : identifier_(std::move(identifier)) {}

TimeZone TimeZone::current() {
    {
        std::lock_guard lock(settingMutex);
        if (currentSetting) return TimeZone(*currentSetting);
    }
    return TimeZone(hosttz::identifier());
}

void TimeZone::setCurrent(const std::optional<std::string>& identifier) {
    std::lock_guard lock(settingMutex);
    currentSetting = identifier;
}
