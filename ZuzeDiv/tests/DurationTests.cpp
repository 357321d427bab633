#include <gtest/gtest.h>

#include <limits>
#include <regex>

#include "Foundation/Locale.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/DateUtilities.hpp"
#include "ZuzeDiv/Profiler.hpp"
#include "ZuzeDiv/TimeUtilities.hpp"

using namespace ZuzeDiv;

TEST(DurationText, BandsAndPadding) {
    EXPECT_EQ(DateUtilities::durationText(0), "00:00:00:00");
    EXPECT_EQ(DateUtilities::durationText(7), "00:00:00:07");
    EXPECT_EQ(DateUtilities::durationText(59), "00:00:00:59");
    EXPECT_EQ(DateUtilities::durationText(60), "00:00: 1:00");
    EXPECT_EQ(DateUtilities::durationText(3599), "00:00:59:59");
    EXPECT_EQ(DateUtilities::durationText(3725), "00: 1: 2:05");
    EXPECT_EQ(DateUtilities::durationText(86400), " 1: 0:00:00");
    EXPECT_EQ(DateUtilities::durationText(90061), " 1: 1:01:01");
    EXPECT_EQ(DateUtilities::durationText(100 * 86400), "100: 0:00:00");
}

TEST(DurationText, NegativeCountsKeepTheirSignInEveryField) {
    EXPECT_EQ(DateUtilities::durationText(-5), "00:00:00:-5");
    EXPECT_EQ(DateUtilities::durationText(-3725), "00:-1:-2:-5");
    // The most negative count has no positive counterpart; it is still written, not overflowed.
    EXPECT_EQ(DateUtilities::durationText(std::numeric_limits<std::int64_t>::min()), "-106751991167300:-15:-30:-8");
}

TEST(StopwatchText, MinutesUnderAnHourHoursAbove) {
    EXPECT_EQ(TimeUtilities::stopwatchText(0), "00:00.000");
    EXPECT_EQ(TimeUtilities::stopwatchText(500'000'000), "00:00.500");
    EXPECT_EQ(TimeUtilities::stopwatchText(999'000'000), "00:00.999");
    EXPECT_EQ(TimeUtilities::stopwatchText(1'234'000'000), "00:01.234");
    EXPECT_EQ(TimeUtilities::stopwatchText(61'500'000'000), "01:01.500");
    EXPECT_EQ(TimeUtilities::stopwatchText(3'599'999'999'999), "59:59.999");
    EXPECT_EQ(TimeUtilities::stopwatchText(3'723'004'000'000), "01:02:03.004");
}

class MeasurementText : public VirtualTimeTest {};

TEST_F(MeasurementText, ConvertsThenWritesInTheLocale) {
    Locale::setCurrent("en_US");
    EXPECT_EQ(TimeUtilities::measurementText(std::uint64_t{90}, UnitDuration::minutes(), UnitDuration::hours()), "1.5 hr");
    EXPECT_EQ(TimeUtilities::measurementText(std::int64_t{1500}, UnitDuration::milliseconds(), UnitDuration::seconds()),
              "1.5 sec");
    Locale::setCurrent("de_DE");
    EXPECT_EQ(TimeUtilities::measurementText(std::uint64_t{90}, UnitDuration::minutes(), UnitDuration::hours()), "1,5 Std.");
    EXPECT_THROW(TimeUtilities::measurementText(std::int64_t{-1}, UnitDuration::seconds(), UnitDuration::seconds()),
                 std::invalid_argument);
}

class ProfilerTest : public VirtualTimeTest {};

TEST_F(ProfilerTest, StopPrintsOnceAfterAStart) {
    testing::internal::CaptureStdout();
    Profiler::stop("never-started");
    Profiler::start("load");
    clock_->advance(0.25);
    Profiler::start("load");  // a second start restarts the interval
    clock_->advance(0.0125);
    Profiler::stop("load");
    Profiler::stop("load");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "load: 12.500 ms\n");
}
