#pragma once
// Time zones by identifier: a zone of the time-zone database ("Europe/Berlin") or a POSIX rule
// ("CET-1CEST,M3.5.0,M10.5.0/3"), and the user's current zone, which tests and demos may set.
// A zone keeps the system's rules for it, as the C library reads them: its zone file under $TZDIR
// or /usr/share/zoneinfo, else the POSIX rule the identifier writes ("GMT+5" is five hours west of
// Greenwich); a name the system has no file for keeps ICU's own rules, and one ICU does not know
// either is UTC.
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Date.hpp"

class TimeZoneRules;

class TimeZone {
public:
    explicit TimeZone(std::string identifier);
    /// The user's time zone: as set, else the host's as the C library reads it: TZ (a zone name,
    /// a POSIX rule, or a zone file), else /etc/localtime (named after the zone it links to, else
    /// the one /etc/timezone names, else the rule it ends with), else the zone /etc/timezone
    /// names, else "UTC". The files are looked up under the system root.
    static TimeZone current();
    static void setCurrent(const std::optional<std::string>& identifier);
    static TimeZone utc() { return TimeZone("UTC"); }

    const std::string& identifier() const { return identifier_; }
    /// The offset from UTC in force at a moment, in seconds east of Greenwich.
    int secondsFromGMT(const Date& date) const;
    /// The system's rules of the zone; empty where ICU's own rules stand in.
    const std::shared_ptr<const TimeZoneRules>& rules() const { return rules_; }
    bool operator==(const TimeZone& other) const { return identifier_ == other.identifier_; }

private:
    TimeZone(std::string identifier, std::shared_ptr<const TimeZoneRules> rules);

    std::string identifier_;
    std::shared_ptr<const TimeZoneRules> rules_;
};
