// The host's time zone as the C library reads it: from TZ, or from the files under the system root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "Foundation/Calendar.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

class HostTimeZone : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) previousTZ = tz;
        TimeZone::setCurrent(std::nullopt);
    }
    void TearDown() override {
        if (previousTZ) {
            ::setenv("TZ", previousTZ->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
        SystemRoot::setPath(std::nullopt);
    }

    std::optional<std::string> previousTZ;
};

}  // namespace

// Rules of every shape the zone files end with agree with the C library hour by hour, across the
// changes of a year (a change at 26:00, one at -1:00, the southern half of the world, a half hour).
TEST_F(HostTimeZone, PosixRulesInTZAgreeWithTheCLibrary) {
    for (const char* rule : {"CET-1CEST,M3.5.0,M10.5.0/3", "IST-2IDT,M3.4.4/26,M10.5.0", "<-02>2<-01>,M3.5.0/-1,M10.5.0/0",
                             "AEST-10AEDT,M10.1.0,M4.1.0/3", "<+0330>-3:30", "XST3XDT,J60/1,J300/1:30"}) {
        ::setenv("TZ", rule, 1);
        ::tzset();
        ASSERT_EQ(TimeZone::current().identifier(), rule);
        auto calendar = Calendar::current();
        // Each change of the C library's offset, the second before it, and noon of every day.
        int mismatches = 0;
        long previousOffset = 0;
        for (std::time_t t = 1704067200; t < 1735689600 && mismatches < 3; t += 3600) {  // 2024, hour by hour
            std::tm local{};
            ::localtime_r(&t, &local);
            const bool changed = local.tm_gmtoff != previousOffset;
            previousOffset = local.tm_gmtoff;
            if (!changed && t % 86400 != 43200) continue;
            for (std::time_t moment : {t - 1, t}) {
                ::localtime_r(&moment, &local);
                auto parts = calendar.dateComponents({CalendarComponent::day, CalendarComponent::hour, CalendarComponent::minute},
                                                     Date(static_cast<double>(moment)));
                if (parts.day == local.tm_mday && parts.hour == local.tm_hour && parts.minute == local.tm_min) continue;
                ADD_FAILURE() << rule << " at " << moment << ": " << local.tm_mday << " " << local.tm_hour << ":"
                              << local.tm_min;
                ++mismatches;
            }
        }
    }
}

// Without TZ: the zone /etc/localtime links to (as timedatectl sets it), before the name in
// /etc/timezone; a copied zone file by /etc/timezone, else by the rule it ends with; else UTC.
TEST_F(HostTimeZone, FromTheFilesUnderTheSystemRoot) {
    ::unsetenv("TZ");
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    EXPECT_EQ(TimeZone::current().identifier(), "UTC");

    root.write("etc/timezone", "Europe/Paris\n");
    EXPECT_EQ(TimeZone::current().identifier(), "Europe/Paris");
    std::filesystem::create_directories(root.path() / "etc");
    std::filesystem::create_symlink("../usr/share/zoneinfo/posix/Asia/Tokyo", root.path() / "etc/localtime");
    EXPECT_EQ(TimeZone::current().identifier(), "Asia/Tokyo");

    std::filesystem::remove(root.path() / "etc/localtime");
    root.write("etc/localtime", std::string("TZif2") + std::string(40, '\0') + "\nNZST-12NZDT,M9.5.0,M4.1.0/3\n");
    EXPECT_EQ(TimeZone::current().identifier(), "Europe/Paris");
    std::filesystem::remove(root.path() / "etc/timezone");
    EXPECT_EQ(TimeZone::current().identifier(), "NZST-12NZDT,M9.5.0,M4.1.0/3");

    // TZ wins: a zone file's path, and values the C library reads as UTC.
    ::setenv("TZ", ":/usr/share/zoneinfo/America/New_York", 1);
    EXPECT_EQ(TimeZone::current().identifier(), "America/New_York");
    for (const char* utc : {"", "Nowhere/Land", "CET-1CEST,M13.5.0,M10.5.0"}) {
        ::setenv("TZ", utc, 1);
        EXPECT_EQ(TimeZone::current().identifier(), "UTC") << utc;
    }
}
