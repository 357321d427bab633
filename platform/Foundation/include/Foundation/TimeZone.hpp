#pragma once
// Time zones by identifier: a zone of the time-zone database ("Europe/Berlin") or a POSIX rule
// ("CET-1CEST,M3.5.0,M10.5.0/3"), and the user's current zone, which tests and demos may set.
#include <optional>
#include <string>

class TimeZone {
public:
    explicit TimeZone(std::string identifier);
    /// The user's time zone: as set, else the host's as the C library reads it: TZ (a zone name,
    /// a POSIX rule, or a zone file), else the zone /etc/localtime stands for, else the one
    /// /etc/timezone names, else "UTC". The files are looked up under the system root.
    static TimeZone current();
    static void setCurrent(const std::optional<std::string>& identifier);
    static TimeZone utc() { return TimeZone("UTC"); }

    const std::string& identifier() const { return identifier_; }
    bool operator==(const TimeZone& other) const { return identifier_ == other.identifier_; }

private:
    std::string identifier_;
};
