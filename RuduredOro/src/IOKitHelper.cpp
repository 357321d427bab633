#include "RuduredOro/IOKitHelper.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <limits>
#include <memory>

#include "Foundation/Locale.hpp"

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
    UErrorCode status = U_ZERO_ERROR;
    auto zone = icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(TimeZone::current().identifier()));
    // Gregorian whatever the user's calendar: batteries count their years that way.
    auto calendar = std::make_unique<icu::GregorianCalendar>(zone, status);
    if (U_FAILURE(status)) return std::nullopt;
    // A strict calendar refuses a day that does not exist instead of rolling it into another.
    calendar->setLenient(false);
    calendar->clear();
    calendar->set(year, month - 1, day, 0, 0, 0);
    UDate milliseconds = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return Date(milliseconds / 1000.0);
}

}  // namespace RuduredOro
