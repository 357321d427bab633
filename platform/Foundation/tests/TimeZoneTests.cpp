// The host's time zone as the C library reads it: from TZ, or from the files under the system root.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/SystemRoot.hpp"
#include "Foundation/TimeZone.hpp"
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

// The offsets the C library and TimeZone::current() give for TZ set to each value, at every hour
// from 2024 to 2026: "value at time: C library offset, ours" for each value that differs (its
// first difference). Values are spread over children that run at once, each setting TZ for itself.
std::vector<std::string> offsetDifferences(const std::vector<std::string>& values) {
    constexpr std::time_t from = 1704067200, to = 1798761600;  // 2024-01-01 to 2027-01-01
    constexpr std::size_t children = 4;
    std::vector<std::pair<pid_t, int>> running;
    for (std::size_t child = 0; child < children; ++child) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) return {"no pipe"};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(pipeEnds[0]);
            for (std::size_t i = child; i < values.size(); i += children) {
                ::setenv("TZ", values[i].c_str(), 1);
                ::tzset();
                const TimeZone zone = TimeZone::current();
                for (std::time_t t = from; t < to; t += 3600) {
                    std::tm local{};
                    ::localtime_r(&t, &local);
                    const int ours = zone.secondsFromGMT(Date(static_cast<double>(t)));
                    if (local.tm_gmtoff == ours) continue;
                    const std::string line = values[i] + " at " + std::to_string(t) + ": " + std::to_string(local.tm_gmtoff) +
                                             ", " + std::to_string(ours) + "\n";
                    if (::write(pipeEnds[1], line.data(), line.size()) < 0) ::_exit(1);
                    break;
                }
            }
            ::_exit(0);
        }
        ::close(pipeEnds[1]);
        running.emplace_back(pid, pipeEnds[0]);
    }
    std::string text;
    for (auto [pid, output] : running) {
        char buffer[4096];
        for (ssize_t count; (count = ::read(output, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(count));
        ::close(output);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) text += "a child failed\n";
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

}  // namespace

// Every zone file of the system, by name, by path and through its variants' folders, zone files of
// every version and shape, and rules of every shape (five hours west, a change at 24:00, at 167
// hours, at -1:00 and at 26:00, the southern half of the world, day numbers with and without
// 29 February, negative savings) give the C library's offset at every hour of three years.
TEST_F(HostTimeZone, ZoneFilesAndRulesAgreeWithTheCLibraryHourByHour) {
    const std::filesystem::path folder = "/usr/share/zoneinfo";
    std::vector<std::string> values{"GMT+5",
                                    "<-03>3",
                                    "<+0330>-3:30",
                                    "EET-2EEST,M4.5.5/0,M10.5.4/24",
                                    "CET-1CEST,M3.5.0,M10.5.0/3",
                                    "IST-2IDT,M3.4.4/26,M10.5.0",
                                    "<-02>2<-01>,M3.5.0/-1,M10.5.0/0",
                                    "AEST-10AEDT,M10.1.0,M4.1.0/3",
                                    "XST3XDT,J60/1,J300/1:30",
                                    "YST4YDT,59/-2,300/167",
                                    "ZST-1ZDT,M3.1.0/-167,M10.2.6/167",
                                    "IST-1GMT0,M10.5.0,M3.5.0/1",
                                    "EST5EDT",
                                    "posix/Europe/Berlin",
                                    "right/Europe/Berlin",
                                    "US/Eastern",
                                    ":America/Ciudad_Juarez",
                                    (folder / "Africa/Cairo").string()};
    std::error_code error;
    for (auto entry = std::filesystem::recursive_directory_iterator(folder, error); entry != std::filesystem::end(entry);
         entry.increment(error)) {
        // Links and the variants' folder repeat the other files (with leap seconds, which local
        // time ignores).
        if (entry->path().filename() == "right") entry.disable_recursion_pending();
        std::ifstream file(entry->path(), std::ios::binary);
        char magic[4] = {};
        if (!entry->is_symlink() && entry->is_regular_file() && file.read(magic, 4) && std::string_view(magic, 4) == "TZif")
            values.push_back(entry->path().lexically_relative(folder).string());
    }
    ASSERT_GT(values.size(), 400u) << "the time-zone database (tzdata) is not installed";
    // Zone files of every version, without changes or a rule, with leap seconds, and a damaged one.
    for (const auto& entry : std::filesystem::directory_iterator(QUILLON_FIXTURES_DIR "/fuzz/zone_file"))
        values.push_back(entry.path().string());
    for (const auto& difference : offsetDifferences(values)) ADD_FAILURE() << difference;
}

// Without TZ: the zone /etc/localtime links to (as timedatectl sets it), before the name in
// /etc/timezone; a copied zone file keeps its own rules, named by /etc/timezone, else by the rule
// it ends with; a damaged one is UTC, as is no file at all.
TEST_F(HostTimeZone, FromTheFilesUnderTheSystemRoot) {
    ::unsetenv("TZ");
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    EXPECT_EQ(TimeZone::current().identifier(), "UTC");
    std::filesystem::create_directories(root.path() / "etc");
    ::mkfifo((root.path() / "etc/timezone").c_str(), 0600);  // not waited for
    EXPECT_EQ(TimeZone::current().identifier(), "UTC");
    std::filesystem::remove(root.path() / "etc/timezone");

    root.write("etc/timezone", "Europe/Paris\n");
    EXPECT_EQ(TimeZone::current().identifier(), "Europe/Paris");
    std::filesystem::create_symlink("../usr/share/zoneinfo/posix/Asia/Tokyo", root.path() / "etc/localtime");
    EXPECT_EQ(TimeZone::current().identifier(), "Asia/Tokyo");

    std::filesystem::remove(root.path() / "etc/localtime");
    std::filesystem::copy_file("/usr/share/zoneinfo/Pacific/Auckland", root.path() / "etc/localtime");
    const Date january(1704067200);
    EXPECT_EQ(TimeZone::current().identifier(), "Europe/Paris");
    EXPECT_EQ(TimeZone::current().secondsFromGMT(january), 13 * 3600);
    std::filesystem::remove(root.path() / "etc/timezone");
    EXPECT_EQ(TimeZone::current().identifier(), "NZST-12NZDT,M9.5.0,M4.1.0/3");
    root.write("etc/timezone", "Europe/Paris\n");
    root.write("etc/localtime", std::string("TZif2") + std::string(40, '\0') + "\nNZST-12NZDT,M9.5.0,M4.1.0/3\n");
    EXPECT_EQ(TimeZone::current().identifier(), "UTC");

    // TZ wins: a zone file's path, names under TZDIR, and values the C library reads as UTC (a
    // pipe in a zone file's place is not waited for).
    ::setenv("TZ", ":/usr/share/zoneinfo/America/New_York", 1);
    EXPECT_EQ(TimeZone::current().identifier(), "America/New_York");
    std::ifstream tokyo("/usr/share/zoneinfo/Asia/Tokyo", std::ios::binary);
    root.write("Test/Zone", std::string(std::istreambuf_iterator<char>(tokyo), {}));
    ::mkfifo((root.path() / "Test/Pipe").c_str(), 0600);
    ::setenv("TZDIR", root.path().c_str(), 1);
    ::setenv("TZ", "Test/Zone", 1);
    EXPECT_EQ(TimeZone::current().secondsFromGMT(january), 9 * 3600);
    for (const char* utc : {"", "Nowhere/Land", "CET-1CEST,M13.5.0,M10.5.0", "Test/Pipe", "etc"}) {
        ::setenv("TZ", utc, 1);
        EXPECT_EQ(TimeZone::current().identifier(), "UTC") << utc;
    }
    ::unsetenv("TZDIR");
}
