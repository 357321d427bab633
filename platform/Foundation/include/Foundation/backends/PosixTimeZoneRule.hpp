#pragma once
// Time-zone rules in the form of POSIX's TZ variable, read and applied as the GNU C library reads
// TZ and the last line of a zone file: "CET-1CEST,M3.5.0,M10.5.0/3" (an hour east of Greenwich,
// summer time from the last Sunday of March at 02:00 to the last Sunday of October at 03:00),
// "<+0330>-3:30", "EST5", "GMT+5" (five hours west of Greenwich). Change times run from -167 to
// 167 hours ("M10.5.4/24": the end of the last Thursday of October).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/backends/LocalTimeType.hpp"

class PosixTimeZoneRule {
public:
    /// A day of the year on which the clocks change, and the local time of the change.
    struct ChangeDay {
        enum class Kind { julian, zeroBased, weekday } kind = Kind::weekday;
        int day = 0;          // julian 1-365 (29 February never counted), zeroBased 0-365
        int month = 0;        // weekday: 1-12
        int week = 0;         // weekday: 1-4, 5 for the last
        int weekday = 0;      // weekday: Sunday 0 to Saturday 6
        int seconds = 7200;   // -167 to 167 hours

        bool operator==(const ChangeDay&) const = default;
    };

    /// The rule the text writes; absent when the text is no rule or a damaged one.
    static std::optional<PosixTimeZoneRule> parse(std::string_view text);

    const std::string& text() const { return text_; }
    const LocalTimeType& standardTime() const { return standard_; }
    /// Absent for a rule without summer time.
    const std::optional<LocalTimeType>& daylightTime() const { return daylight_; }

    /// The local time at a moment (seconds since 1970, UTC). Within the moment's UTC year, summer
    /// time runs from that year's start of summer time up to its end, or outside them when the
    /// end comes first in the year (the southern half of the world).
    const LocalTimeType& at(std::int64_t time) const;
    /// The moments within the UTC year at which `at` may change: the start of the year and the
    /// year's two changes, each absent when it falls outside the year.
    std::array<std::optional<std::int64_t>, 3> breakpoints(std::int64_t year) const;

    /// The UTC year of a moment, and the moment a day of the Gregorian calendar starts in UTC.
    static std::int64_t yearOf(std::int64_t time);
    static std::int64_t startOfDay(std::int64_t year, int month, int day);

    bool operator==(const PosixTimeZoneRule&) const = default;

private:
    std::int64_t changeIn(std::int64_t year, const ChangeDay& day, std::int32_t offsetBefore) const;

    std::string text_;
    LocalTimeType standard_;
    std::optional<LocalTimeType> daylight_;
    ChangeDay start_, end_;
};
