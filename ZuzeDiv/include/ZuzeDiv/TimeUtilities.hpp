#pragma once
// Stopwatch texts and amounts of time written in a unit.
#include <cstdint>
#include <string>

#include "Foundation/MeasurementFormatter.hpp"

namespace ZuzeDiv {

class TimeUtilities {
public:
    TimeUtilities() = delete;

    /// "00:00.000" for 0, "mm:ss.mmm" below an hour, "hh:mm:ss.mmm" from an hour on.
    static std::string stopwatchText(std::uint64_t nanoseconds);

    /// The amount in `unit`, converted to `to` and written by a measurement formatter that allows
    /// fractions, in the current locale ("1.5 hr").
    static std::string measurementText(std::uint64_t amount, const UnitDuration& unit, const UnitDuration& to);
    /// The same for a signed amount, which must not be negative.
    static std::string measurementText(std::int64_t amount, const UnitDuration& unit, const UnitDuration& to);
};

}  // namespace ZuzeDiv
