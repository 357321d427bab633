#pragma once
// One kind of local time a zone keeps: its offset from UTC, whether it is summer (daylight) time,
// and its abbreviation ("CEST").
#include <cstdint>
#include <string>

struct LocalTimeType {
    /// Seconds east of Greenwich.
    std::int32_t offset = 0;
    bool isDaylight = false;
    std::string abbreviation;

    bool operator==(const LocalTimeType&) const = default;
};
