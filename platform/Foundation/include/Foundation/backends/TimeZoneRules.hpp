#pragma once
// How a zone's local time changes, as the GNU C library applies it: the changes a zone file of
// the time-zone database lists (TZif, RFC 8536, versions 1 to 4) and the POSIX rule it ends with
// for the times from its last listed change on, or a POSIX rule alone (TZ="EST5EDT,M3.2.0,M11.1.0").
// Before the first listed change a zone keeps its first kind of local time that is not summer
// time; a zone file that lists no change keeps that one for good.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "Foundation/backends/LocalTimeType.hpp"
#include "Foundation/backends/PosixTimeZoneRule.hpp"

class TimeZoneRules {
public:
    /// The largest zone file read (those of the database take a few kilobytes).
    static constexpr std::size_t maximumFileSize = 256 * 1024;

    /// The rules of a zone file's bytes; absent when they are no zone file or a damaged one
    /// (counts beyond the data, changes out of order, an unknown kind of local time, an offset
    /// beyond 26 hours).
    static std::optional<TimeZoneRules> zoneFile(std::string_view bytes);
    /// The rules of the zone file at `path`, which must be a regular file of at most
    /// `maximumFileSize` bytes; absent when it cannot be read or is damaged.
    static std::optional<TimeZoneRules> readZoneFile(const std::filesystem::path& path);
    explicit TimeZoneRules(PosixTimeZoneRule rule);

    /// The local time in force at a moment. `standardOffset` is the offset without summer time;
    /// where a zone file marks winter as its summer time (Ireland's negative savings), the lower
    /// of the two offsets counts as standard.
    struct LocalTime {
        std::int32_t offset = 0;
        std::int32_t standardOffset = 0;
        bool isDaylight = false;
        std::string_view abbreviation;

        bool operator==(const LocalTime&) const = default;
    };
    /// At a moment (seconds since 1970, UTC).
    LocalTime at(std::int64_t time) const;

    /// Which local time a wall-clock time the clocks skip or show twice is read in: the one
    /// before the change or the one after it.
    enum class Choice { former, latter };
    /// At a wall-clock time (seconds since 1970 counted in local time).
    LocalTime atLocal(std::int64_t wall, Choice skipped, Choice repeated) const;

    /// The first moment after `time` at which the local time changes (its offset, abbreviation or
    /// summer time), and the last one before it.
    std::optional<std::int64_t> transitionAfter(std::int64_t time) const;
    std::optional<std::int64_t> transitionBefore(std::int64_t time) const;

    /// The rule for the times from the last listed change on (all times when nothing is listed).
    const std::optional<PosixTimeZoneRule>& rule() const { return rule_; }

    bool operator==(const TimeZoneRules&) const = default;

private:
    TimeZoneRules() = default;
    void findStandardOffsets();
    bool changesAt(std::int64_t time) const;
    LocalTime ofRule(std::int64_t time) const;
    LocalTime ofPeriod(std::size_t period) const;
    std::optional<std::int64_t> ruleBreakpoint(std::int64_t time, bool after) const;

    std::vector<LocalTimeType> types_;
    std::vector<std::int64_t> transitions_;
    std::vector<std::uint8_t> typeOfTransition_;
    /// The local time before the first listed change.
    std::size_t initialType_ = 0;
    /// One per period: before the first change, then after each.
    std::vector<std::int32_t> standardOffsets_;
    std::optional<PosixTimeZoneRule> rule_;
};
