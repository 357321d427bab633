#include <gtest/gtest.h>

#include "Foundation/Locale.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/DateExtensions.hpp"
#include "ZuzeDiv/DateUtilities.hpp"

using namespace ZuzeDiv;

// Every test runs in Berlin with an American locale (weeks starting on Sunday) unless it says
// otherwise, on a virtual clock.
class DateExtensions : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setCurrent("en_US");
        TimeZone::setCurrent("Europe/Berlin");
    }
    static Date at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        return makeDate(day, month, year, hour, minute, second);
    }
    void setNow(const Date& date) { clock_->set(date.timeIntervalSince1970()); }
};

TEST_F(DateExtensions, ReadsTheFixedFormatOnTheTwentyFourHourClock) {
    setNow(at(2030, 1, 1, 8));
    EXPECT_EQ(dateFromString("2021-03-04 11:22:33"), at(2021, 3, 4, 11, 22, 33));
    EXPECT_EQ(at(2021, 3, 4, 11, 22, 33).timeIntervalSince1970(), 1614853353.0);  // 10:22:33 UTC
    EXPECT_EQ(dateFromString("2021-03-04 12:30:00"), at(2021, 3, 4, 12, 30));
    EXPECT_EQ(dateFromString("2021-03-04 23:59:59"), at(2021, 3, 4, 23, 59, 59));
    EXPECT_EQ(dateFromString("2021-03-04 00:00:00"), at(2021, 3, 4));
    // Anything that is not the whole format gives the present moment.
    for (const char* text : {"2021-03-04", "2021-03-04 11:22:33 UTC", "2021-03-04 24:00:00", "2021-02-30 10:00:00", ""})
        EXPECT_EQ(dateFromString(text), Date()) << text;
    // The year is a Gregorian year whatever calendar the user keeps.
    Locale::setCurrent("th_TH");
    TimeZone::setCurrent("UTC");
    EXPECT_EQ(dateFromString("2021-03-04 11:22:33").timeIntervalSince1970(), 1614856953.0);
}

TEST_F(DateExtensions, BuildingRollsOverOutOfRangeParts) {
    EXPECT_EQ(makeDate(0, 3, 2024, 0, 0, 0), at(2024, 2, 29));
    EXPECT_EQ(makeDate(32, 12, 2023, 0, 0, 0), at(2024, 1, 1));
    EXPECT_EQ(makeDate(1, 1, 2024, 25, 0, 0), at(2024, 1, 2, 1));
}

TEST_F(DateExtensions, MonthBoundariesAtMidnight) {
    EXPECT_EQ(startOfMonth(at(2024, 2, 17, 15, 30)), at(2024, 2, 1));
    EXPECT_EQ(endOfMonth(at(2024, 2, 17, 15, 30)), at(2024, 2, 29));
    EXPECT_EQ(endOfMonth(at(2023, 2, 1)), at(2023, 2, 28));
    EXPECT_EQ(endOfMonth(at(2024, 4, 30, 23, 59)), at(2024, 4, 30));
    EXPECT_EQ(endOfMonth(at(2024, 12, 5)), at(2024, 12, 31));
    setNow(at(2024, 1, 15, 9));
    EXPECT_EQ(startOfPreviousMonth(), at(2023, 12, 1));
    // Paraguay's summer time began at midnight on 1 October 2023: the month starts at 01:00 and
    // still ends at midnight.
    TimeZone::setCurrent("America/Asuncion");
    EXPECT_EQ(startOfMonth(at(2023, 10, 15)), at(2023, 10, 1, 1));
    EXPECT_EQ(endOfMonth(at(2023, 10, 15)), at(2023, 10, 31));
}

TEST_F(DateExtensions, WeeksRunFromMondayWhateverTheLocale) {
    EXPECT_EQ(startOfWeek(at(2024, 3, 10, 18)), at(2024, 3, 4));  // a Sunday: the Monday six days before
    EXPECT_EQ(startOfWeek(at(2024, 3, 4, 15)), at(2024, 3, 4));   // a Monday at 15:00
    EXPECT_EQ(endOfWeek(at(2024, 3, 6)), at(2024, 3, 10));
    // Across a year's end the week still starts on Monday.
    EXPECT_EQ(startOfWeek(at(2025, 1, 1, 12)), at(2024, 12, 30));
    EXPECT_EQ(endOfWeek(at(2024, 12, 30)), at(2025, 1, 5));
    Locale::setCurrent("de_DE");
    EXPECT_EQ(startOfWeek(at(2021, 1, 2)), at(2020, 12, 28));
}

TEST_F(DateExtensions, WeekdayIndexCountsFromMonday) {
    setNow(at(2024, 3, 10, 12));  // Sunday
    EXPECT_EQ(weekdayIndex(), -1);
    setNow(at(2024, 3, 11, 0, 0, 1));
    EXPECT_EQ(weekdayIndex(), 0);
    setNow(at(2024, 3, 16, 23, 59));
    EXPECT_EQ(weekdayIndex(), 5);
}

TEST_F(DateExtensions, AddingClampsToTheMonthsEnd) {
    EXPECT_EQ(addingMonths(at(2024, 1, 31, 10), 1), at(2024, 2, 29, 10));
    EXPECT_EQ(addingMonths(at(2023, 1, 31), 1), at(2023, 2, 28));
    EXPECT_EQ(addingMonths(at(2024, 3, 31), -1), at(2024, 2, 29));
    EXPECT_EQ(addingYears(at(2024, 2, 29), 1), at(2025, 2, 28));
    EXPECT_EQ(addingWeeks(at(2024, 12, 28), 1), at(2025, 1, 4));
    EXPECT_EQ(addingDays(at(2024, 12, 31, 6), 1), at(2025, 1, 1, 6));
}

TEST_F(DateExtensions, DaylightSavingDaysKeepTheWallClock) {
    // 31 March 2024 has 23 hours in Berlin, 27 October 2024 has 25.
    EXPECT_EQ(addingDays(at(2024, 3, 30, 12), 1).timeIntervalSince(at(2024, 3, 30, 12)), 23 * 3600.0);
    EXPECT_EQ(addingDays(at(2024, 10, 26, 12), 1).timeIntervalSince(at(2024, 10, 26, 12)), 25 * 3600.0);
    EXPECT_EQ(at(2024, 3, 31, 3).timeIntervalSince(at(2024, 3, 31, 1)), 3600.0);  // 02:00 to 03:00 is skipped
    setNow(at(2024, 3, 31, 15));
    EXPECT_EQ(endOfTodayTimestamp() - startOfTodayTimestamp(), 23 * 3600.0 - 1);
    EXPECT_EQ(startOfYesterdayTimestamp(), startOfTodayTimestamp() - 86400);
    const Date day = at(2024, 10, 27, 9);
    const double start = at(2024, 10, 27).timeIntervalSince1970();
    EXPECT_TRUE(contains(day, start + 25 * 3600 - 1.5));  // the day's 25th hour
    EXPECT_EQ(addingWeeks(at(2024, 3, 25, 8), 1), at(2024, 4, 1, 8));
}

TEST_F(DateExtensions, MidnightSkippedByTheClockStartsTheDayLater) {
    // Chile moved its clocks from 00:00 to 01:00 on 8 September 2024.
    TimeZone::setCurrent("America/Santiago");
    setNow(at(2024, 9, 8, 12));
    EXPECT_EQ(startOfTodayTimestamp(), at(2024, 9, 8, 1).timeIntervalSince1970());
    EXPECT_EQ(startOfTodayTimestamp() - at(2024, 9, 7, 23).timeIntervalSince1970(), 3600.0);
}

TEST_F(DateExtensions, DayContainmentEndsBeforeTheLastSecond) {
    const Date date = at(2024, 5, 6, 14);
    EXPECT_TRUE(contains(date, at(2024, 5, 6).timeIntervalSince1970()));
    EXPECT_FALSE(contains(date, at(2024, 5, 6).timeIntervalSince1970() - 0.001));
    EXPECT_TRUE(contains(date, at(2024, 5, 6, 23, 59, 58).timeIntervalSince1970()));
    EXPECT_FALSE(contains(date, at(2024, 5, 6, 23, 59, 59).timeIntervalSince1970() + 0.5));
    EXPECT_FALSE(contains(date, at(2024, 5, 6, 23, 59, 59).timeIntervalSince1970()));
}

TEST_F(DateExtensions, PartsAndMoments) {
    const Date date = at(2024, 2, 29, 13, 5, 9);
    EXPECT_EQ(year(date), 2024);
    EXPECT_EQ(month(date), 2);
    EXPECT_EQ(day(date), 29);
    EXPECT_TRUE(isDay(date, 29, 2));
    EXPECT_FALSE(isDay(date, 2, 29));
    setNow(date);
    EXPECT_EQ(gregorianYear(), 2024);
    EXPECT_EQ(DateUtilities::currentDay(), 29);
    EXPECT_EQ(DateUtilities::currentMonth(), 2);
    EXPECT_EQ(DateUtilities::currentYear(), 2024);
    EXPECT_EQ(startOfYearTimestamp(2024), at(2024, 1, 1, 12).timeIntervalSince1970());
    EXPECT_EQ(endOfYearTimestamp(2024), at(2024, 12, 31, 23, 59, 59).timeIntervalSince1970());
    EXPECT_EQ(middayOfNewYear(), at(2024, 1, 1, 12));
    EXPECT_EQ(nextWeekTimestamp() - currentTimestamp(), 604800.0);
    EXPECT_EQ(inFourWeeksTimestamp() - lastWeekTimestamp(), 3024000.0);
}

TEST_F(DateExtensions, TextsFollowTheLocale) {
    const Date date = at(2024, 2, 29, 13, 5, 9);
    EXPECT_EQ(isoDayText(date), "2024-02-29");
    EXPECT_EQ(monthNameText(date), "February");
    EXPECT_EQ(shortDateText(date), "2/29/24");
    EXPECT_EQ(mediumTimeText(date), "1:05:09\u202fPM");
    EXPECT_EQ(text(date, DateFormatter::Style::mediumStyle, DateFormatter::Style::none), "Feb 29, 2024");
    Locale::setCurrent("de_DE");
    EXPECT_EQ(monthNameText(date), "Februar");
    EXPECT_EQ(shortDateText(date), "29.02.24");
    EXPECT_EQ(mediumTimeText(date), "13:05:09");
    TimeZone::setCurrent("America/New_York");
    EXPECT_EQ(mediumTimeText(date), "07:05:09");
    EXPECT_EQ(isoDayText(at(2024, 12, 30)), "2024-12-30");  // not the week-based year
}
