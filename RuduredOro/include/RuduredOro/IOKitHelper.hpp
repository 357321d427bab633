#pragma once
// Reads single properties of a registry entry, each converted to what the caller wants.
#include <cstdint>
#include <optional>
#include <string>

#include "Foundation/Date.hpp"
#include "IOKit/IOKitLib.hpp"

namespace RuduredOro {

class IOKitHelper {
public:
    IOKitHelper() = delete;

    /// The property as a whole number (a whole floating-point number or a Boolean counts); absent
    /// when it is missing, no whole number, or beyond the range of int.
    static std::optional<int> intProperty(io_registry_entry_t entry, const std::string& key);
    /// The property as a floating-point number; absent when it is missing or no number.
    static std::optional<double> doubleProperty(io_registry_entry_t entry, const std::string& key);
    /// The property as text; absent when it is missing or no text.
    static std::optional<std::string> stringProperty(io_registry_entry_t entry, const std::string& key);
    /// "Temperature", given in hundredths of a degree, in degrees.
    static std::optional<double> temperature(io_registry_entry_t entry);
    /// "ManufactureDate", packed as smart batteries pack it, as a date.
    static std::optional<Date> manufactureDate(io_registry_entry_t entry);

    /// The start of the day of a packed date (day in bits 0-4, month in bits 5-8, the year since
    /// 1980 in bits 9-15) in the current time zone; absent when no such day exists (month 0 or
    /// 13 to 15, day 0, 30 February and the like).
    static std::optional<Date> dateFromPackedValue(std::int64_t packed);
};

}  // namespace RuduredOro
