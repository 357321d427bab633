#include "Foundation/TimeZone.hpp"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "ICUSupport.hpp"
#include "backends/HostTimeZone.hpp"

namespace {
std::mutex settingMutex;
std::optional<std::string> currentSetting;
}  // namespace

TimeZone::TimeZone(std::string identifier) : identifier_(std::move(identifier)), rules_(hosttz::rulesNamed(identifier_)) {}

TimeZone::TimeZone(std::string identifier, std::shared_ptr<const TimeZoneRules> rules)
    : identifier_(std::move(identifier)), rules_(std::move(rules)) {}

TimeZone TimeZone::current() {
    {
        std::lock_guard lock(settingMutex);
        if (currentSetting) return TimeZone(*currentSetting);
    }
    auto host = hosttz::current();
    return TimeZone(std::move(host.identifier), std::move(host.rules));
}

void TimeZone::setCurrent(const std::optional<std::string>& identifier) {
    std::lock_guard lock(settingMutex);
    currentSetting = identifier;
}

int TimeZone::secondsFromGMT(const Date& date) const {
    const double seconds = std::floor(date.timeIntervalSince1970());
    if (rules_) return rules_->at(std::isnan(seconds) ? 0 : static_cast<std::int64_t>(std::clamp(seconds, -1e18, 1e18))).offset;
    int32_t raw = 0, daylight = 0;
    UErrorCode status = U_ZERO_ERROR;
    icusupport::timeZone(*this)->getOffset(seconds * 1000.0, false, raw, daylight, status);
    return U_SUCCESS(status) ? (raw + daylight) / 1000 : 0;
}
