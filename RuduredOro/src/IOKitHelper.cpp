#include "RuduredOro/IOKitHelper.hpp"

#include <limits>
#include <memory>

#include "Foundation/Calendar.hpp"

namespace RuduredOro {

namespace {

CFTypeRef property(io_registry_entry_t entry, const std::string& key) {
    return IORegistryEntryCreateCFProperty(entry, key, kCFAllocatorDefault, 0);
}

}  // namespace

std::optional<int> IOKitHelper::intProperty(io_registry_entry_t entry, const std::string& key) {
    auto value = property(entry, key);
    auto number = value ? value->intValue() : std::nullopt;
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<double> IOKitHelper::doubleProperty(io_registry_entry_t entry, const std::string& key) {
    auto value = property(entry, key);
    auto number = value ? value->numberValue() : std::nullopt;
    if (!number) return std::nullopt;
    return number->doubleValue();
}

std::optional<std::string> IOKitHelper::stringProperty(io_registry_entry_t entry, const std::string& key) {
    auto value = property(entry, key);
    return value ? value->stringValue() : std::nullopt;
}

std::optional<double> IOKitHelper::temperature(io_registry_entry_t entry) {
    auto hundredths = doubleProperty(entry, "Temperature");
    if (!hundredths) return std::nullopt;
    return *hundredths / 100.0;
}

std::optional<Date> IOKitHelper::manufactureDate(io_registry_entry_t entry) {
    auto value = property(entry, "ManufactureDate");
    auto number = value ? value->numberValue() : std::nullopt;
    if (!number) return std::nullopt;
    return dateFromPackedValue(number->integerValue());
}

std::optional<Date> IOKitHelper::dateFromPackedValue(std::int64_t packed) {
    auto day = static_cast<std::int32_t>(packed & 31);
    auto month = static_cast<std::int32_t>((packed >> 5) & 15);
    auto year = static_cast<std::int32_t>(1980 + ((packed >> 9) & 127));
    // Gregorian whatever the user's calendar: batteries count their years that way.
    const Calendar calendar(Calendar::Identifier::gregorian);
    DateComponents parts;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    parts.hour = parts.minute = parts.second = 0;
    auto date = calendar.date(parts);
    if (!date) return std::nullopt;
    // A day that does not exist rolls into another one: refuse it rather than name a wrong day.
    auto back = calendar.dateComponents({CalendarComponent::year, CalendarComponent::month, CalendarComponent::day}, *date);
    if (back.year != year || back.month != month || back.day != day) return std::nullopt;
    return date;
}

}  // namespace RuduredOro
