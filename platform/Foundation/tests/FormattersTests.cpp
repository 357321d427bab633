#include <gtest/gtest.h>

#include "Foundation/Calendar.hpp"
#include "Foundation/DateFormatter.hpp"
#include "Foundation/MeasurementFormatter.hpp"
#include "Foundation/NumberFormatter.hpp"
#include "Testing/TestEnvironment.hpp"

// Locale and time zone are set per test and restored by the fixture.
class Formatters : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setCurrent("en_US");
        TimeZone::setCurrent("Europe/Berlin");
    }
    static Date at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        DateComponents parts;
        parts.year = year;
        parts.month = month;
        parts.day = day;
        parts.hour = hour;
        parts.minute = minute;
        parts.second = second;
        return *Calendar::current().date(parts);
    }
};

TEST_F(Formatters, CalendarPartsFollowTheTimeZone) {
    const Date moment(1711846800.0);  // 2024-03-31 01:00 UTC, 03:00 in Berlin after the change
    auto calendar = Calendar::current();
    auto parts = calendar.dateComponents({CalendarComponent::year, CalendarComponent::month, CalendarComponent::day,
                                          CalendarComponent::hour, CalendarComponent::weekday},
                                         moment);
    EXPECT_EQ(parts.year, 2024);
    EXPECT_EQ(parts.month, 3);
    EXPECT_EQ(parts.day, 31);
    EXPECT_EQ(parts.hour, 3);
    EXPECT_EQ(parts.weekday, 1);  // Sunday
    calendar.setTimeZone(TimeZone("America/Los_Angeles"));
    EXPECT_EQ(calendar.component(CalendarComponent::day, moment), 30);
    EXPECT_EQ(calendar.startOfDay(moment), Date(1711782000.0));  // 30 March 00:00 PDT
    EXPECT_EQ(Calendar::current().startOfDay(moment), at(2024, 3, 31));
    EXPECT_EQ(at(2024, 3, 31, 2, 30), at(2024, 3, 31, 3, 30));  // a skipped wall time moves forward
}

TEST_F(Formatters, CalendarWeeksAndFractions) {
    EXPECT_EQ(Locale("de_DE").firstWeekday(), 2);
    EXPECT_EQ(Locale("en_US").firstWeekday(), 1);
    auto calendar = Calendar::current();
    calendar.setFirstWeekday(2);
    calendar.setMinimumDaysInFirstWeek(4);
    auto parts = calendar.dateComponents({CalendarComponent::weekOfYear, CalendarComponent::yearForWeekOfYear}, at(2021, 1, 2));
    EXPECT_EQ(parts.weekOfYear, 53);
    EXPECT_EQ(parts.yearForWeekOfYear, 2020);
    const Date withFraction(1700000000.123456);
    EXPECT_NEAR(calendar.component(CalendarComponent::nanosecond, withFraction).value(), 123456000, 1000);
    DateComponents hour;
    hour.hour = 1;
    EXPECT_NEAR(calendar.date(hour, withFraction)->timeIntervalSince1970(), 1700003600.123456, 1e-6);
}

TEST_F(Formatters, DateTextsAreReadStrictly) {
    DateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm");
    EXPECT_EQ(formatter.date("2024-10-27 12:30"), Date(1730028600.0));  // CET, after the change
    EXPECT_FALSE(formatter.date("2024-13-01 10:00"));
    EXPECT_FALSE(formatter.date("2024-01-01 10:00 "));
    EXPECT_FALSE(formatter.date("2024-1-1x10:00"));
    formatter.setLenient(true);
    EXPECT_EQ(formatter.date("2024-13-01 10:00"), at(2025, 1, 1, 10));
    DateFormatter empty;
    EXPECT_EQ(empty.string(Date()), "");
    EXPECT_FALSE(empty.date("2024"));
}

TEST_F(Formatters, TemplatesAndStylesPerLocale) {
    DateFormatter formatter;
    formatter.setLocalizedDateFormatFromTemplate("yMMMd");
    EXPECT_EQ(formatter.string(at(2024, 2, 29)), "Feb 29, 2024");
    formatter.setLocale(Locale("de_DE"));
    formatter.setLocalizedDateFormatFromTemplate("yMMMd");
    EXPECT_EQ(formatter.string(at(2024, 2, 29)), "29. Feb. 2024");
    formatter.setDateStyle(DateFormatter::Style::longStyle);
    EXPECT_EQ(formatter.string(at(2024, 2, 29)), "29. Februar 2024");
    formatter.setDateFormat("HH:mm");
    EXPECT_EQ(formatter.dateStyle(), DateFormatter::Style::none);
    EXPECT_EQ(formatter.string(at(2024, 2, 29, 7, 5)), "07:05");
}

TEST_F(Formatters, NumbersExactGroupedAndRounded) {
    NumberFormatter plain;
    EXPECT_EQ(plain.string(NSNumber(std::uint64_t{18446744073709551615u})), "18446744073709551615");
    EXPECT_EQ(plain.string(NSNumber(0.5)), "0");
    EXPECT_EQ(plain.string(NSNumber(1.5)), "2");
    plain.setMinimumFractionDigits(2);
    EXPECT_EQ(plain.string(NSNumber(1)), "1.00");

    NumberFormatter decimal;
    decimal.setNumberStyle(NumberFormatter::Style::decimal);
    EXPECT_EQ(decimal.string(NSNumber(1234567.8915)), "1,234,567.892");
    decimal.setGroupingSeparator("'");
    EXPECT_EQ(decimal.string(NSNumber(1234567)), "1'234'567");
    decimal.setGroupingSeparator("");
    EXPECT_EQ(decimal.string(NSNumber(1234567)), "1234567");
    decimal.setLocale(Locale("de_CH"));
    decimal.setGroupingSeparator(*Locale("de_CH").groupingSeparator());
    EXPECT_EQ(decimal.string(NSNumber(-1234.5)), "-1\u2019234.5");
    decimal.setRoundingMode(NumberFormatter::RoundingMode::down);
    decimal.setMaximumFractionDigits(0);
    EXPECT_EQ(decimal.string(NSNumber(-2.9)), "-2");
}

TEST_F(Formatters, DurationsInTheLocalesWords) {
    MeasurementFormatter formatter;
    EXPECT_EQ(formatter.string({90, UnitDuration::minutes()}), "90 min");
    EXPECT_EQ(formatter.string(Measurement<UnitDuration>{90, UnitDuration::minutes()}.converted(UnitDuration::hours())), "1.5 hr");
    EXPECT_EQ(formatter.string(Measurement<UnitDuration>{1, UnitDuration::seconds()}.converted(UnitDuration::milliseconds())),
              "1,000 ms");
    formatter.setUnitStyle(MeasurementFormatter::UnitStyle::longStyle);
    EXPECT_EQ(formatter.string({2, UnitDuration::seconds()}), "2 seconds");
    formatter.setLocale(Locale("de_DE"));
    EXPECT_EQ(formatter.string({2.25, UnitDuration::hours()}), "2,25 Stunden");
}
