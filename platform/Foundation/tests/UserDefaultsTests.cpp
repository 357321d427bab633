#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

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

TEST_F(UserDefaultsTest, AnInterruptedWriteLeavesTheLastCompleteDomain) {
    auto suite = UserDefaults::suite("com.example.atomic");
    suite->set(std::string("kept"), "value");
    // A writer that died mid-write leaves only its temporary file behind.
    std::ofstream(directory.path() / "com.example.atomic.plist.tmp.99999") << "<?xml version=\"1.0\"?><plist><dict><key>va";
    UserDefaults::setDirectory(directory.path());
    EXPECT_EQ(UserDefaults::suite("com.example.atomic")->stringForKey("value"), "kept");

    // A file that is no property list reads as an empty domain, not as a failure.
    std::ofstream(directory.path() / "com.example.broken.plist") << "garbage";
    EXPECT_TRUE(UserDefaults::suite("com.example.broken")->dictionaryRepresentation().empty());
}
