#pragma once
// Date helpers: calendar arithmetic and texts. Unless said otherwise they use the user's current
// calendar and time zone; names ending in Timestamp give seconds since 1970.
#include <string>

#include "Foundation/Date.hpp"
#include "Foundation/DateFormatter.hpp"

namespace ZuzeDiv {

/// Seconds since 1 January 1970 of the present moment, with the fraction.
double currentTimestamp();

/// The present moment.
Date now();
/// The moment a "yyyy-MM-dd HH:mm:ss" text names (24-hour clock) in the current time zone; the
/// present moment when the text does not match in full.
Date dateFromString(const std::string& text);
/// The moment with these parts; out-of-range parts roll over by the calendar's rules. Stops the
/// process with "Could not create date object." when the calendar can form none.
Date makeDate(int day, int month, int year, int hour, int minute, int second);

/// Midnight of the first and of the last day of the date's month.
Date startOfMonth(const Date& date);
Date endOfMonth(const Date& date);
/// Midnight of the first day of the month before the present one.
Date startOfPreviousMonth();
/// Monday 00:00 of the date's week, and the Sunday 00:00 that closes it (weeks start on Monday).
Date startOfWeek(const Date& date);
Date endOfWeek(const Date& date);

/// The date moved by whole units, without wrapping (31 January plus a month is the last day of
/// February).
Date addingDays(const Date& date, int days);
Date addingWeeks(const Date& date, int weeks);
Date addingMonths(const Date& date, int months);
Date addingYears(const Date& date, int years);

int year(const Date& date);
/// 1 to 12.
int month(const Date& date);
/// 1 to 31.
int day(const Date& date);
bool isDay(const Date& date, int day, int month);
/// Whether the timestamp lies from 00:00:00 of the date's day up to, not including, 23:59:59.
bool contains(const Date& date, double timestamp);

/// Today's weekday counted from Monday 0 to Saturday 5; Sunday is -1.
int weekdayIndex();
/// The present year of the Gregorian calendar; 0 when there is none.
int gregorianYear();
double startOfTodayTimestamp();
double endOfTodayTimestamp();
double startOfYesterdayTimestamp();
double endOfYesterdayTimestamp();
double nextWeekTimestamp();
double lastWeekTimestamp();
double inFourWeeksTimestamp();
/// 1 January 12:00:00 and 31 December 23:59:59 of the year.
double startOfYearTimestamp(int year);
double endOfYearTimestamp(int year);
/// 1 January of the present Gregorian year at 12:00:00.
Date middayOfNewYear();

/// "2024-02-29".
std::string isoDayText(const Date& date);
/// The month's full name in the current locale.
std::string monthNameText(const Date& date);
/// The date in the short date style, no time.
std::string shortDateText(const Date& date);
/// The time in the medium time style, no date.
std::string mediumTimeText(const Date& date);
std::string text(const Date& date, DateFormatter::Style dateStyle, DateFormatter::Style timeStyle);

}  // namespace ZuzeDiv
