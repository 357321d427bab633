#pragma once
// Lengths of time as days:hours:minutes:seconds texts, and today's day, month and year.
#include <cstdint>
#include <string>

namespace ZuzeDiv {

class DateUtilities {
public:
    DateUtilities() = delete;

    /// "00:00:00:00" for 0; "00:00:00:59"; "00:00: 1:00"; "00: 1: 2:05"; " 1: 1:01:01" (hours and
    /// minutes padded with blanks, seconds with zeros).
    static std::string durationText(std::int64_t seconds);

    /// Today in the Gregorian calendar and the current time zone: the day of the month (1 when
    /// unknown), the month (1 when unknown) and the year (0 when unknown).
    static int currentDay();
    static int currentMonth();
    static int currentYear();
};

}  // namespace ZuzeDiv
