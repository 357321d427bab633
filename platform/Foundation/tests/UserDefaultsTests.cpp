#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Foundation/UserDefaults.hpp"
#include "Testing/TestEnvironment.hpp"

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::setDirectory(directory.path()); }
    TemporaryDirectory directory;
};

TEST_F(UserDefaultsTest, TypedReadsFollowThePlatformConversions) {
    auto& defaults = UserDefaults::standard();
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_EQ(defaults.doubleForKey("missing"), 0.0);
    EXPECT_EQ(defaults.integerForKey("missing"), 0);
    EXPECT_FALSE(defaults.stringForKey("missing"));

    defaults.set(true, "flag");
    EXPECT_TRUE(defaults.boolForKey("flag"));
    EXPECT_EQ(defaults.doubleForKey("flag"), 1.0);  // a Boolean read as a number is 1

    defaults.set(2.75, "number");
    EXPECT_TRUE(defaults.boolForKey("number"));
    EXPECT_EQ(defaults.integerForKey("number"), 2);
    defaults.set(std::string("YES"), "text");
    EXPECT_TRUE(defaults.boolForKey("text"));
    defaults.set(std::string("12.5"), "numeric text");
    EXPECT_EQ(defaults.doubleForKey("numeric text"), 12.5);
    defaults.set(std::string("no"), "negative text");
    EXPECT_FALSE(defaults.boolForKey("negative text"));

    defaults.set(std::vector<std::string>{"A", "B"}, "list");
    EXPECT_EQ(defaults.stringArrayForKey("list"), (std::vector<std::string>{"A", "B"}));
    defaults.set(Data{1, 2, 3}, "bytes");
    EXPECT_EQ(defaults.dataForKey("bytes"), (Data{1, 2, 3}));
    EXPECT_FALSE(defaults.stringArrayForKey("bytes"));

    defaults.removeObject("flag");
    EXPECT_FALSE(defaults.object("flag"));
}

TEST_F(UserDefaultsTest, SuitesAreSeparateDomainsAndSomeNamesCannotBeOpened) {
    auto suite = UserDefaults::suite("com.example.reviews");
    ASSERT_TRUE(suite);
    suite->set(5, "count");
    EXPECT_EQ(UserDefaults::suite("com.example.reviews")->integerForKey("count"), 5);  // one instance per domain
    EXPECT_EQ(UserDefaults::standard().integerForKey("count"), 0);
    EXPECT_FALSE(UserDefaults::suite(""));
    EXPECT_FALSE(UserDefaults::suite("NSGlobalDomain"));

    UserDefaults::setSuiteFilter([](const std::string& name) { return name != "com.example.refused"; });
    EXPECT_FALSE(UserDefaults::suite("com.example.refused"));
    UserDefaults::setSuiteFilter(nullptr);
    EXPECT_TRUE(UserDefaults::suite("com.example.refused"));
}

TEST_F(UserDefaultsTest, ValuesWrittenByAnotherProcessSurviveARestart) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UserDefaults::standard().set(true, "FennickKeepInFrontKey");
        UserDefaults::suite("com.example.suite")->set(1234.5, "init_E");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    UserDefaults::setDirectory(directory.path());  // forget what this process had read
    EXPECT_TRUE(UserDefaults::standard().boolForKey("FennickKeepInFrontKey"));
    EXPECT_EQ(UserDefaults::suite("com.example.suite")->doubleForKey("init_E"), 1234.5);
}

TEST_F(UserDefaultsTest, StoringWhatTheFileHoldsWritesNothing) {
    auto suite = UserDefaults::suite("com.example.same");
    const auto file = directory.path() / "com.example.same.plist";
    auto inode = [&] {
        struct stat status {};
        return ::stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    suite->set(42, "count");
    const auto written = inode();
    ASSERT_NE(written, 0u);
    suite->set(42, "count");
    EXPECT_EQ(inode(), written) << "the same value again replaces no file";
    suite->set(43, "count");
    EXPECT_NE(inode(), written);
}

TEST_F(UserDefaultsTest, WritesOfTwoProcessesKeepEachOthersKeys) {
    auto writeKeys = [](const std::string& prefix) {
        auto suite = UserDefaults::suite("com.example.shared");
        for (int i = 0; i < 40; ++i) suite->set(i, prefix + std::to_string(i));
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        writeKeys("child.");
        _exit(0);
    }
    writeKeys("parent.");
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    UserDefaults::setDirectory(directory.path());
    auto stored = UserDefaults::suite("com.example.shared")->dictionaryRepresentation();
    EXPECT_EQ(stored.size(), 80u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(stored.count("child." + std::to_string(i)));
        EXPECT_TRUE(stored.count("parent." + std::to_string(i)));
    }
}

TEST_F(UserDefaultsTest, AnInterruptedWriteLeavesTheLastCompleteDomain) {
    auto suite = UserDefaults::suite("com.example.atomic");
    suite->set(std::string("kept"), "value");
    // A writer that died mid-write leaves only its temporary file behind.
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const auto stale = directory.path() / ("com.example.atomic.plist.tmp." + std::to_string(gone));
    std::ofstream(stale) << "bplist00";
    UserDefaults::setDirectory(directory.path());
    EXPECT_EQ(UserDefaults::suite("com.example.atomic")->stringForKey("value"), "kept");
    UserDefaults::suite("com.example.atomic")->set(1, "next");
    EXPECT_FALSE(std::filesystem::exists(stale));  // cleared away by the next write

    // A file that is no property list reads as an empty domain, not as a failure, and is kept
    // aside when the domain is written again.
    std::ofstream(directory.path() / "com.example.broken.plist") << "garbage";
    auto broken = UserDefaults::suite("com.example.broken");
    EXPECT_TRUE(broken->dictionaryRepresentation().empty());
    broken->set(true, "fresh");
    std::ifstream kept(directory.path() / "com.example.broken.plist.damaged");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "garbage");
}
