#include "Foundation/Calendar.hpp"

#include <unicode/calendar.h>

#include <cmath>
#include <memory>

#include "ICUSupport.hpp"

namespace {
constexpr CalendarComponent allComponents[] = {
    CalendarComponent::era,    CalendarComponent::year,       CalendarComponent::month,
    CalendarComponent::day,    CalendarComponent::hour,       CalendarComponent::minute,
    CalendarComponent::second, CalendarComponent::nanosecond, CalendarComponent::weekday,
    CalendarComponent::weekOfYear, CalendarComponent::yearForWeekOfYear};

UCalendarDateFields field(CalendarComponent component) {
    switch (component) {
        case CalendarComponent::era: return UCAL_ERA;
        case CalendarComponent::year: return UCAL_YEAR;
        case CalendarComponent::month: return UCAL_MONTH;
        case CalendarComponent::day: return UCAL_DATE;
        case CalendarComponent::hour: return UCAL_HOUR_OF_DAY;
        case CalendarComponent::minute: return UCAL_MINUTE;
        case CalendarComponent::second: return UCAL_SECOND;
        case CalendarComponent::nanosecond: return UCAL_MILLISECOND;
        case CalendarComponent::weekday: return UCAL_DAY_OF_WEEK;
        case CalendarComponent::weekOfYear: return UCAL_WEEK_OF_YEAR;
        case CalendarComponent::yearForWeekOfYear: return UCAL_YEAR_WOY;
    }
    return UCAL_YEAR;
}

// Our values to ICU's: months count from 0 there, and sub-seconds are milliseconds.
int toICU(CalendarComponent component, int value) {
    if (component == CalendarComponent::month) return value - 1;
    if (component == CalendarComponent::nanosecond) return value / 1'000'000;
    return value;
}

int fromICU(CalendarComponent component, int value) {
    if (component == CalendarComponent::month) return value + 1;
    if (component == CalendarComponent::nanosecond) return value * 1'000'000;
    return value;
}

const char* kindName(Calendar::Identifier identifier) {
    switch (identifier) {
        case Calendar::Identifier::gregorian: return "gregorian";
        case Calendar::Identifier::iso8601: return "iso8601";
        case Calendar::Identifier::buddhist: return "buddhist";
        case Calendar::Identifier::japanese: return "japanese";
        case Calendar::Identifier::islamic: return "islamic";
        case Calendar::Identifier::hebrew: return "hebrew";
        case Calendar::Identifier::chinese: return "chinese";
        case Calendar::Identifier::persian: return "persian";
    }
    return "gregorian";
}
}  // namespace

namespace icusupport {
// A fresh ICU calendar with the settings of ours.
std::unique_ptr<icu::Calendar> makeCalendar(const std::string& kind, const Locale& locale, const TimeZone& zone,
                                            int firstWeekday, int minimumDays) {
    UErrorCode status = U_ZERO_ERROR;
    auto icuLocale = icusupport::locale(locale);
    icuLocale.setKeywordValue("calendar", kind.c_str(), status);
    status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(timeZone(zone).release(), icuLocale, status));
    if (U_FAILURE(status) || !calendar) return nullptr;
    calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(firstWeekday));
    calendar->setMinimalDaysInFirstWeek(static_cast<uint8_t>(minimumDays));
    // A wall time the clock skips is read as the time before the change: 02:30 on a day whose
    // clocks jump from 02:00 to 03:00 is 03:30, and a skipped midnight starts the day at 01:00.
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    calendar->setLenient(true);
    return calendar;
}
}  // namespace icusupport

std::optional<int> DateComponents::value(CalendarComponent component) const {
    switch (component) {
        case CalendarComponent::era: return era;
        case CalendarComponent::year: return year;
        case CalendarComponent::month: return month;
        case CalendarComponent::day: return day;
        case CalendarComponent::hour: return hour;
        case CalendarComponent::minute: return minute;
        case CalendarComponent::second: return second;
        case CalendarComponent::nanosecond: return nanosecond;
        case CalendarComponent::weekday: return weekday;
        case CalendarComponent::weekOfYear: return weekOfYear;
        case CalendarComponent::yearForWeekOfYear: return yearForWeekOfYear;
    }
    return std::nullopt;
}

void DateComponents::setValue(CalendarComponent component, std::optional<int> value) {
    switch (component) {
        case CalendarComponent::era: era = value; break;
        case CalendarComponent::year: year = value; break;
        case CalendarComponent::month: month = value; break;
        case CalendarComponent::day: day = value; break;
        case CalendarComponent::hour: hour = value; break;
        case CalendarComponent::minute: minute = value; break;
        case CalendarComponent::second: second = value; break;
        case CalendarComponent::nanosecond: nanosecond = value; break;
        case CalendarComponent::weekday: weekday = value; break;
        case CalendarComponent::weekOfYear: weekOfYear = value; break;
        case CalendarComponent::yearForWeekOfYear: yearForWeekOfYear = value; break;
    }
}

Calendar::Calendar(std::string kind, Locale locale)
    : kind_(std::move(kind)),
      timeZone_(TimeZone::current()),
      locale_(std::move(locale)),
      firstWeekday_(locale_.firstWeekday()),
      minimumDays_(locale_.minimumDaysInFirstWeek()) {}

Calendar Calendar::current() {
    auto locale = Locale::current();
    auto kind = locale.calendarIdentifier();
    return Calendar(std::move(kind), std::move(locale));
}

Calendar::Calendar(Identifier identifier) : Calendar(kindName(identifier), Locale::current()) {}

std::optional<int> Calendar::component(CalendarComponent component, const Date& date) const {
    auto calendar = icusupport::makeCalendar(kind_, locale_, timeZone_, firstWeekday_, minimumDays_);
    if (!calendar) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(date.timeIntervalSince1970() * 1000.0, status);
    int value = calendar->get(field(component), status);
    if (U_FAILURE(status)) return std::nullopt;
    if (component == CalendarComponent::nanosecond) {
        // Keep the part of the second below a millisecond too.
        double seconds = date.timeIntervalSince1970();
        return static_cast<int>(std::llround((seconds - std::floor(seconds)) * 1e9)) % 1'000'000'000;
    }
    return fromICU(component, value);
}

DateComponents Calendar::dateComponents(std::initializer_list<CalendarComponent> components, const Date& date) const {
    DateComponents result;
    for (auto component : components) result.setValue(component, this->component(component, date));
    return result;
}

std::optional<Date> Calendar::date(const DateComponents& components) const {
    auto calendar = icusupport::makeCalendar(kind_, locale_, timeZone_, firstWeekday_, minimumDays_);
    if (!calendar) return std::nullopt;
    calendar->clear();
    // Week-based parts are set last so that ICU resolves the date from them when they are given.
    for (auto component : allComponents) {
        if (auto value = components.value(component)) calendar->set(field(component), toICU(component, *value));
    }
    UErrorCode status = U_ZERO_ERROR;
    UDate millis = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    double seconds = millis / 1000.0;
    if (components.nanosecond) seconds += (*components.nanosecond % 1'000'000) / 1e9;
    return Date(seconds);
}

std::optional<Date> Calendar::date(const DateComponents& adding, const Date& to) const {
    auto calendar = icusupport::makeCalendar(kind_, locale_, timeZone_, firstWeekday_, minimumDays_);
    if (!calendar) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(to.timeIntervalSince1970() * 1000.0, status);
    const UDate before = calendar->getTime(status);
    for (auto component : allComponents) {
        auto value = adding.value(component);
        if (!value || *value == 0) continue;
        if (component == CalendarComponent::nanosecond) continue;  // added below, exactly
        auto which = component == CalendarComponent::yearForWeekOfYear ? UCAL_YEAR : field(component);
        calendar->add(which, *value, status);
    }
    const UDate after = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    // The move in whole milliseconds, added to the exact moment given.
    double seconds = to.timeIntervalSince1970() + (after - before) / 1000.0;
    if (adding.nanosecond) seconds += *adding.nanosecond / 1e9;
    return Date(seconds);
}

Date Calendar::startOfDay(const Date& date) const {
    auto parts = dateComponents({CalendarComponent::era, CalendarComponent::year, CalendarComponent::month, CalendarComponent::day}, date);
    if (!parts.year || !parts.month || !parts.day) return date;
    parts.hour = 0;
    parts.minute = 0;
    parts.second = 0;
    return this->date(parts).value_or(date);
}
