#pragma once
// Calendars, backed by ICU: the parts of a moment in a time zone (year, month, day, weekday,
// week of year...), moments built from parts, and calendar arithmetic.
#include <initializer_list>
#include <optional>
#include <string>

#include "Foundation/Date.hpp"
#include "Foundation/Locale.hpp"

enum class CalendarComponent { era, year, month, day, hour, minute, second, nanosecond, weekday, weekOfYear, yearForWeekOfYear };

/// Parts of a moment; each one may be absent. Months run from 1 to 12, weekdays from Sunday 1 to
/// Saturday 7.
struct DateComponents {
    std::optional<int> era, year, month, day, hour, minute, second, nanosecond, weekday, weekOfYear, yearForWeekOfYear;

    std::optional<int> value(CalendarComponent component) const;
    void setValue(CalendarComponent component, std::optional<int> value);
    bool operator==(const DateComponents&) const = default;
};

class Calendar {
public:
    enum class Identifier { gregorian, iso8601, buddhist, japanese, islamic, hebrew, chinese, persian };

    /// The user's calendar: the current locale's kind, first weekday and first-week rule, in the
    /// current time zone.
    static Calendar current();
    /// A calendar of that kind in the current locale and time zone.
    explicit Calendar(Identifier identifier);

    /// ICU's name of the calendar kind ("gregorian").
    const std::string& identifier() const { return kind_; }
    const TimeZone& timeZone() const { return timeZone_; }
    void setTimeZone(TimeZone zone) { timeZone_ = std::move(zone); }
    const Locale& locale() const { return locale_; }
    void setLocale(Locale locale) { locale_ = std::move(locale); }
    /// Sunday 1 to Saturday 7.
    int firstWeekday() const { return firstWeekday_; }
    void setFirstWeekday(int weekday) { firstWeekday_ = weekday; }
    int minimumDaysInFirstWeek() const { return minimumDays_; }
    void setMinimumDaysInFirstWeek(int days) { minimumDays_ = days; }

    /// One part of the moment; absent when ICU cannot compute it.
    std::optional<int> component(CalendarComponent component, const Date& date) const;
    DateComponents dateComponents(std::initializer_list<CalendarComponent> components, const Date& date) const;
    /// The moment the parts name; parts outside their usual ranges roll over (day 0 is the last
    /// day of the month before). Absent when the calendar can form no moment.
    std::optional<Date> date(const DateComponents& components) const;
    /// The moment moved by each given part, larger units first, without wrapping: adding a month
    /// to 31 January gives the last day of February.
    std::optional<Date> date(const DateComponents& adding, const Date& to) const;
    /// The first moment of the day (midnight, or the first valid time when midnight is skipped).
    Date startOfDay(const Date& date) const;

private:
    Calendar(std::string kind, Locale locale);

    std::string kind_;
    TimeZone timeZone_;
    Locale locale_;
    int firstWeekday_;
    int minimumDays_;
};
