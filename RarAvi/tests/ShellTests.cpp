#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "RarAvi/Shell.hpp"
#include "Testing/TestEnvironment.hpp"

using RarAvi::Shell;

TEST(Shell, HandsBackStandardOutputOfASuccessfulCommand) {
    EXPECT_EQ(Shell::run({"echo hi"}), "hi\n");
    // Further arguments reach bash as $0, $1, ...
    EXPECT_EQ(Shell::run({"printf '%s|%s' \"$0\" \"$1\"", "first", "second"}), "first|second");
    // Silent, or writing only to standard error: empty text, not nothing.
    EXPECT_EQ(Shell::run({"true"}), "");
    EXPECT_EQ(Shell::run({"echo oops >&2"}), "");
}

TEST(Shell, AFailingCommandGivesNothingWhateverItPrinted) {
    EXPECT_EQ(Shell::run({"echo partial; exit 1"}), std::nullopt);
    EXPECT_EQ(Shell::runData({"kill -TERM $$"}), std::nullopt);
    // bash refuses "-c" without a command line.
    EXPECT_EQ(Shell::run({}), std::nullopt);
}

TEST(Shell, TheChildGetsTheProcessEnvironmentWithTheFixedLocale) {
    const char* previous = std::getenv("LC_ALL");
    std::string saved = previous ? previous : "";
    ::setenv("LC_ALL", "C", 1);
    ::setenv("QUILLON_SHELL_PROBE", "inherited", 1);
    auto seen = Shell::run({"printf '%s %s' \"$LC_ALL\" \"$QUILLON_SHELL_PROBE\""});
    ::unsetenv("QUILLON_SHELL_PROBE");
    if (previous) ::setenv("LC_ALL", saved.c_str(), 1);
    else ::unsetenv("LC_ALL");
    EXPECT_EQ(seen, "en_US.UTF-8 inherited");
}

TEST(Shell, ChattyChildrenDoNotStallOnFullPipes) {
    // Far more than a pipe holds, on both outputs at once.
    auto output = Shell::runData({"head -c 2000000 /dev/zero >&2; head -c 3000000 /dev/zero; head -c 2000000 /dev/zero >&2"});
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(output->size(), 3000000u);
}

TEST(Shell, BytesThatAreNoUTF8AreDataButNoText) {
    auto bytes = Shell::runData({"printf '\\xff\\xfe'"});
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, (Data{0xff, 0xfe}));
    EXPECT_EQ(Shell::run({"printf '\\xff\\xfe'"}), std::nullopt);
    EXPECT_EQ(Shell::run({"printf 'Gr\\xc3\\xbc\\xc3\\x9fe'"}), "Grüße");
}

TEST(Shell, ABackgroundChildHoldingStandardErrorDoesNotHoldUpTheCaller) {
    // The child goes on in the background with standard error open; it marks when it ends.
    TemporaryDirectory folder;
    auto mark = (folder.path() / "ended").string();
    auto pid = Shell::run({"{ sleep 5; touch \"$0\"; } >/dev/null & echo $!", mark});
    ASSERT_TRUE(pid.has_value());
    EXPECT_FALSE(std::filesystem::exists(mark)) << "the run waited for the background child";
    ::kill(std::stoi(*pid), SIGKILL);
}
