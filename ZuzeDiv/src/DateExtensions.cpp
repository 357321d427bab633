#include "ZuzeDiv/DateExtensions.hpp"

#include <functional>

#include "Foundation/Calendar.hpp"
#include "Foundation/FatalError.hpp"
#include "ZuzeDiv/DateUtilities.hpp"

namespace ZuzeDiv {

namespace {
// When the calendar forms no date (far outside its range), the operations keep the date given.
Date adding(const Date& date, CalendarComponent component, int amount) {
    DateComponents components;
    components.setValue(component, amount);
    return Calendar::current().date(components, date).value_or(date);
}

// The moment of the present day (or of a given year, month and day) at a time of day.
Date moment(std::optional<DateComponents> day, int hour, int minute, int second) {
    auto calendar = Calendar::current();
    auto parts = day ? *day
                     : calendar.dateComponents({CalendarComponent::era, CalendarComponent::year, CalendarComponent::month,
                                                CalendarComponent::day},
                                               Date());
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    return calendar.date(parts).value_or(Date());
}

Date gregorianMoment(int year, int month, int day, int hour, int minute, int second) {
    Calendar calendar(Calendar::Identifier::gregorian);
    DateComponents parts;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    return calendar.date(parts).value_or(Date());
}

std::string written(const Date& date, const std::function<void(DateFormatter&)>& configure) {
    DateFormatter formatter;
    configure(formatter);
    return formatter.string(date);
}
}  // namespace

double currentTimestamp() { return Date().timeIntervalSince1970(); }

Date now() { return Date(); }

Date dateFromString(const std::string& text) {
    // A fixed machine format: read on the 24-hour clock, in the Gregorian calendar of the POSIX
    // locale, so that neither the hour nor the year depends on the user's settings.
    DateFormatter formatter;
    formatter.setLocale(Locale::posix());
    formatter.setCalendar(Calendar(Calendar::Identifier::gregorian));
    formatter.setDateFormat("yyyy-MM-dd HH:mm:ss");
    return formatter.date(text).value_or(Date());
}

Date makeDate(int day, int month, int year, int hour, int minute, int second) {
    DateComponents parts;
    parts.day = day;
    parts.month = month;
    parts.year = year;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    auto date = Calendar::current().date(parts);
    if (!date) fatalError("Could not create date object.");
    return *date;
}

Date startOfMonth(const Date& date) {
    auto calendar = Calendar::current();
    auto parts = calendar.dateComponents({CalendarComponent::era, CalendarComponent::year, CalendarComponent::month},
                                         calendar.startOfDay(date));
    parts.day = 1;
    parts.hour = 0;
    parts.minute = 0;
    parts.second = 0;
    return calendar.date(parts).value_or(date);
}

Date endOfMonth(const Date& date) {
    DateComponents components;
    components.month = 1;
    components.day = -1;
    auto start = startOfMonth(date);
    // The move keeps the start's wall-clock time, which is not midnight where the month began
    // with a skipped midnight.
    auto calendar = Calendar::current();
    return calendar.startOfDay(calendar.date(components, start).value_or(start));
}

Date startOfPreviousMonth() { return addingMonths(startOfMonth(Date()), -1); }

namespace {
Date weekday(const Date& date, int weekday) {
    auto calendar = Calendar::current();
    calendar.setFirstWeekday(2);
    auto parts = calendar.dateComponents({CalendarComponent::weekOfYear, CalendarComponent::yearForWeekOfYear}, date);
    parts.weekday = weekday;
    parts.hour = 0;
    parts.minute = 0;
    parts.second = 0;
    return calendar.date(parts).value_or(date);
}
}  // namespace

Date startOfWeek(const Date& date) { return weekday(date, 2); }
Date endOfWeek(const Date& date) { return weekday(date, 1); }

Date addingDays(const Date& date, int days) { return adding(date, CalendarComponent::day, days); }
Date addingWeeks(const Date& date, int weeks) { return adding(date, CalendarComponent::weekOfYear, weeks); }
Date addingMonths(const Date& date, int months) { return adding(date, CalendarComponent::month, months); }
Date addingYears(const Date& date, int years) { return adding(date, CalendarComponent::year, years); }

int year(const Date& date) {
    return Calendar::current().component(CalendarComponent::year, date).value_or(DateUtilities::currentYear());
}
int month(const Date& date) {
    return Calendar::current().component(CalendarComponent::month, date).value_or(DateUtilities::currentMonth());
}
int day(const Date& date) {
    return Calendar::current().component(CalendarComponent::day, date).value_or(DateUtilities::currentDay());
}

bool isDay(const Date& date, int dayOfMonth, int monthOfYear) { return day(date) == dayOfMonth && month(date) == monthOfYear; }

bool contains(const Date& date, double timestamp) {
    auto parts = Calendar::current().dateComponents(
        {CalendarComponent::era, CalendarComponent::year, CalendarComponent::month, CalendarComponent::day}, date);
    const double start = moment(parts, 0, 0, 0).timeIntervalSince1970();
    const double end = moment(parts, 23, 59, 59).timeIntervalSince1970();
    return start <= timestamp && timestamp < end;
}

int weekdayIndex() {
    auto weekday = Calendar::current().component(CalendarComponent::weekday, Date());
    return weekday ? *weekday - 2 : 0;
}

int gregorianYear() { return Calendar(Calendar::Identifier::gregorian).component(CalendarComponent::year, Date()).value_or(0); }

double startOfTodayTimestamp() { return moment(std::nullopt, 0, 0, 0).timeIntervalSince1970(); }
double endOfTodayTimestamp() { return moment(std::nullopt, 23, 59, 59).timeIntervalSince1970(); }
double startOfYesterdayTimestamp() { return startOfTodayTimestamp() - 86400; }
double endOfYesterdayTimestamp() { return endOfTodayTimestamp() - 86400; }
double nextWeekTimestamp() { return currentTimestamp() + 604800; }
double lastWeekTimestamp() { return currentTimestamp() - 604800; }
double inFourWeeksTimestamp() { return currentTimestamp() + 2419200; }

// The start of a year is noon of 1 January, not midnight.
double startOfYearTimestamp(int year) {
    DateComponents parts;
    parts.year = year;
    parts.month = 1;
    parts.day = 1;
    return moment(parts, 12, 0, 0).timeIntervalSince1970();
}

double endOfYearTimestamp(int year) {
    DateComponents parts;
    parts.year = year;
    parts.month = 12;
    parts.day = 31;
    return moment(parts, 23, 59, 59).timeIntervalSince1970();
}

Date middayOfNewYear() { return gregorianMoment(gregorianYear(), 1, 1, 12, 0, 0); }

std::string isoDayText(const Date& date) {
    return written(date, [](DateFormatter& f) { f.setDateFormat("yyyy-MM-dd"); });
}

std::string monthNameText(const Date& date) {
    return written(date, [](DateFormatter& f) { f.setLocalizedDateFormatFromTemplate("MMMM"); });
}

std::string shortDateText(const Date& date) {
    return text(date, DateFormatter::Style::shortStyle, DateFormatter::Style::none);
}

std::string mediumTimeText(const Date& date) {
    return text(date, DateFormatter::Style::none, DateFormatter::Style::mediumStyle);
}

std::string text(const Date& date, DateFormatter::Style dateStyle, DateFormatter::Style timeStyle) {
    return written(date, [&](DateFormatter& f) {
        f.setDateStyle(dateStyle);
        f.setTimeStyle(timeStyle);
    });
}

}  // namespace ZuzeDiv
