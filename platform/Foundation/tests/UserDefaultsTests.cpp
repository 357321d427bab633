#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "Foundation/SystemLog.hpp"
#include "Foundation/Thread.hpp"
#include "Foundation/UserDefaults.hpp"
#include "Testing/TestEnvironment.hpp"

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::setDirectory(directory.path()); }
    // The writes still under way end before the folder goes.
    void TearDown() override { UserDefaults::setDirectory(directory.path()); }
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

    // Values other programs store: a null is no value; an integer above the signed range keeps
    // its text and reads as the largest integer.
    const PropertyListValue::Dictionary stored{{"null", PropertyListValue()}, {"big", std::numeric_limits<std::uint64_t>::max()}};
    auto bytes = PropertyListSerialization::data(PropertyListValue(stored), PropertyListSerialization::Format::binary);
    std::ofstream(directory.path() / "com.example.others.plist", std::ios::binary).write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    auto others = UserDefaults::suite("com.example.others");
    EXPECT_FALSE(others->object("null"));
    EXPECT_EQ(others->stringForKey("big"), "18446744073709551615");
    EXPECT_EQ(others->integerForKey("big"), std::numeric_limits<std::int64_t>::max());
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
    // The folder does not exist yet: the first write makes it.
    const auto folder = directory.path() / "first run";
    UserDefaults::setDirectory(folder);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UserDefaults::standard().set(true, "FennickKeepInFrontKey");
        UserDefaults::suite("com.example.suite")->set(1234.5, "init_E");
        _exit(UserDefaults::standard().synchronize() && UserDefaults::suite("com.example.suite")->synchronize() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    UserDefaults::setDirectory(folder);  // forget what this process had read
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
    ASSERT_TRUE(suite->synchronize());
    const auto written = inode();
    ASSERT_NE(written, 0u);
    suite->set(42, "count");
    ASSERT_TRUE(suite->synchronize());
    EXPECT_EQ(inode(), written) << "the same value again replaces no file";
    suite->set(43, "count");
    ASSERT_TRUE(suite->synchronize());
    EXPECT_NE(inode(), written);
}

TEST_F(UserDefaultsTest, WritesOfTwoProcessesKeepEachOthersKeys) {
    auto writeKeys = [](const std::string& prefix) {
        auto suite = UserDefaults::suite("com.example.shared");
        for (int i = 0; i < 40; ++i) suite->set(i, prefix + std::to_string(i));
        return suite->synchronize();
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writeKeys("child.") ? 0 : 1);
    EXPECT_TRUE(writeKeys("parent."));
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

TEST_F(UserDefaultsTest, NoKeyReportedOnDiskIsLostByFourWritersKilledAtRandom) {
    // Each writer stores keys of its own, one at a time, and reports each that synchronize()
    // says is on disk; every 10 to 60 ms one of them is killed and another takes its place.
    struct Report {
        int writer, key;
    };
    int reports[2];
    ASSERT_EQ(::pipe(reports), 0);
    ::fcntl(reports[0], F_SETFL, O_NONBLOCK);
    auto start = [&](int writer) {
        pid_t pid = fork();
        if (pid == 0) {
            UserDefaults domain("com.example.crowd", directory.path());
            for (int key = 0;; ++key) {
                domain.set(key, std::to_string(writer) + "." + std::to_string(key));
                if (!domain.synchronize()) _exit(1);
                const Report report{writer, key};
                if (::write(reports[1], &report, sizeof report) != sizeof report) _exit(2);
            }
        }
        return pid;
    };
    std::vector<Report> reported;
    auto collect = [&] {
        for (Report report; ::read(reports[0], &report, sizeof report) == sizeof report;) reported.push_back(report);
    };
    std::map<int, pid_t> writers;
    int next = 0;
    for (; next < 4; ++next) writers[next] = start(next);
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 30; ++kill) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution(10, 60)(random)));
        auto victim = std::next(writers.begin(), std::uniform_int_distribution(0, 3)(random));
        ::kill(victim->second, SIGKILL);
        int status = 0;
        ::waitpid(victim->second, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "writer " << victim->first << " ended on its own: " << WEXITSTATUS(status);
        writers.erase(victim);
        writers[next] = start(next);
        ++next;
        collect();
    }
    for (const auto& [writer, pid] : writers) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    collect();

    const auto stored = UserDefaults("com.example.crowd", directory.path()).dictionaryRepresentation();
    EXPECT_GT(reported.size(), 4u);
    for (const auto& [writer, key] : reported) {
        EXPECT_EQ(stored.count(std::to_string(writer) + "." + std::to_string(key)), 1u) << writer << "." << key << " is lost";
    }
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "com.example.crowd.plist.damaged"));
}

TEST_F(UserDefaultsTest, AnInterruptedWriteLeavesTheLastCompleteDomain) {
    auto suite = UserDefaults::suite("com.example.atomic");
    suite->set(std::string("kept"), "value");
    ASSERT_TRUE(suite->synchronize());
    // A writer that died mid-write leaves only its temporary file behind.
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const auto stale = directory.path() / ("com.example.atomic.plist.tmp." + std::to_string(gone));
    std::ofstream(stale) << "bplist00";
    UserDefaults::setDirectory(directory.path());
    EXPECT_EQ(UserDefaults::suite("com.example.atomic")->stringForKey("value"), "kept");
    UserDefaults::suite("com.example.atomic")->set(1, "next");
    ASSERT_TRUE(UserDefaults::suite("com.example.atomic")->synchronize());
    EXPECT_FALSE(std::filesystem::exists(stale));  // cleared away by the next write

    // A file that is no property list reads as an empty domain, not as a failure, and is kept
    // aside when the domain is written again.
    std::ofstream(directory.path() / "com.example.broken.plist") << "garbage";
    auto broken = UserDefaults::suite("com.example.broken");
    EXPECT_TRUE(broken->dictionaryRepresentation().empty());
    broken->set(true, "fresh");
    ASSERT_TRUE(broken->synchronize());
    auto text = [&](const char* name) {
        std::ifstream file(directory.path() / name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    EXPECT_EQ(text("com.example.broken.plist.damaged"), "garbage");
    // A damaged file kept earlier is never replaced.
    std::ofstream(directory.path() / "com.example.broken.plist") << "more garbage";
    UserDefaults::setDirectory(directory.path());
    UserDefaults::suite("com.example.broken")->set(true, "fresh");
    ASSERT_TRUE(UserDefaults::suite("com.example.broken")->synchronize());
    EXPECT_EQ(text("com.example.broken.plist.damaged"), "garbage");
    EXPECT_EQ(text("com.example.broken.plist.damaged.1"), "more garbage");
    // So is a file larger than a settings file may be (4 MB).
    std::ofstream(directory.path() / "com.example.large.plist") << std::string((std::size_t{4} << 20) + 1, ' ');
    auto large = UserDefaults::suite("com.example.large");
    EXPECT_TRUE(large->dictionaryRepresentation().empty());
    large->set(true, "fresh");
    ASSERT_TRUE(large->synchronize());
    EXPECT_TRUE(std::filesystem::exists(directory.path() / "com.example.large.plist.damaged"));
}

namespace {
// Runs `body` in a child process; its exit status.
int inChild(const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The log lines written while it lives.
class LogLines {
public:
    LogLines() {
        SystemLog::setSink([this](const std::string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        });
    }
    ~LogLines() { SystemLog::setSink(nullptr); }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
}  // namespace

TEST_F(UserDefaultsTest, AFileThatCannotBeReadIsNoDamageAndIsWrittenLater) {
    auto suite = UserDefaults::suite("com.example.io");
    suite->set(1, "kept");
    ASSERT_TRUE(suite->synchronize());
    const auto file = directory.path() / "com.example.io.plist";
    const int status = inChild([&] {
        // A domain of this process alone, so that no retry of its own starts a thread while the
        // descriptors are out (the sanitizers' checks need one).
        UserDefaults domain("com.example.io", directory.path());
        // All descriptors but one taken: the lock opens, the domain's file fails with EMFILE.
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        std::vector<int> taken;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) taken.push_back(fd);
        ::close(taken.back());
        taken.pop_back();
        domain.set(2, "new");
        const bool written = domain.synchronize();
        for (int fd : taken) ::close(fd);
        if (written) return 4;
        if (std::filesystem::exists(file.string() + ".damaged")) return 1;
        if (UserDefaults("com.example.io", directory.path()).dictionaryRepresentation().size() != 1) return 2;
        if (domain.integerForKey("new") != 2) return 3;  // the change holds here meanwhile
        domain.set(3, "later");
        return 0;
    });
    EXPECT_EQ(status, 0) << "1: kept as damaged, 2: the file changed, 3: the change is lost, 4: reported written";
    const auto stored = UserDefaults("com.example.io", directory.path()).dictionaryRepresentation();
    EXPECT_EQ(stored, (PropertyListValue::Dictionary{{"kept", 1}, {"new", 2}, {"later", 3}}));

    // Nor is something other than a regular file in the domain's place, which is not waited on.
    const auto pipe = directory.path() / "com.example.pipe.plist";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    UserDefaults piped("com.example.pipe", directory.path());
    EXPECT_TRUE(piped.dictionaryRepresentation().empty());
    std::optional<LogLines> log(std::in_place);
    piped.set(1, "new");
    EXPECT_FALSE(piped.synchronize());
    EXPECT_EQ(std::filesystem::symlink_status(pipe).type(), std::filesystem::file_type::fifo);
    EXPECT_FALSE(std::filesystem::exists(pipe.string() + ".damaged"));
    EXPECT_EQ(piped.integerForKey("new"), 1);
    // Why is logged once, not with each try, until a write succeeds and fails again.
    piped.set(2, "new");
    EXPECT_FALSE(piped.synchronize());
    EXPECT_EQ(log->lines().size(), 1u);
    std::filesystem::remove(pipe);
    EXPECT_TRUE(piped.synchronize());
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    piped.set(3, "new");
    EXPECT_FALSE(piped.synchronize());
    const auto lines = log->lines();
    log.reset();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("com.example.pipe.plist"), std::string::npos);
}

TEST_F(UserDefaultsTest, AChangeWaitsForALockHeldElsewhereAndIsMadeOnTheListThenStored) {
    using List = std::vector<std::string>;
    auto suite = UserDefaults::suite("com.example.locked");
    suite->set(PropertyListValue(List{"A"}), "list");
    ASSERT_TRUE(suite->synchronize());
    auto addB = [](std::optional<PropertyListValue> list) {
        auto items = list && list->isArray() ? *list->arrayValue() : PropertyListValue::Array{};
        items.emplace_back("B");
        return std::optional<PropertyListValue>(items);
    };
    // Another process holds the domain's lock until told to let go, then stores A and C.
    const auto file = directory.path() / "com.example.locked.plist";
    const auto bytes = *PropertyListSerialization::data(PropertyListValue(PropertyListValue::Dictionary{{"list", List{"A", "C"}}}),
                                                        PropertyListSerialization::Format::binary);
    const auto next = file.string() + ".next";
    LockHeldElsewhere lock(file.string() + ".lock", [&] {
        int fd = ::open(next.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        (void)!::write(fd, bytes.data(), bytes.size());
        ::close(fd);
        ::rename(next.c_str(), file.c_str());
    });
    EXPECT_EQ(suite->update("list", addB), PropertyListValue(List{"A", "B"}));  // held here at once
    EXPECT_EQ(suite->stringArrayForKey("list"), (List{"A", "B"}));
    EXPECT_EQ(UserDefaults("com.example.locked", directory.path()).object("list"), PropertyListValue(List{"A"}));
    lock.release();

    // Once the lock is free, the change runs on the list as stored then.
    EXPECT_TRUE(suite->synchronize());
    EXPECT_EQ(UserDefaults("com.example.locked", directory.path()).object("list"), PropertyListValue(List{"A", "C", "B"}));
    EXPECT_EQ(suite->stringArrayForKey("list"), (List{"A", "C", "B"}));
}

namespace {
// A settings file just under the 4 MB it may hold, with a key "kept" and a key "filler": in XML,
// which the binary form makes larger (an empty dictionary takes 8 bytes here and more there), or
// binary, with no room for another key.
std::string nearlyFullFile(PropertyListSerialization::Format format) {
    constexpr std::size_t size = (std::size_t{4} << 20) - 2;
    if (format == PropertyListSerialization::Format::binary) {
        auto filled = [](std::size_t filler) {
            const auto bytes = *PropertyListSerialization::data(
                PropertyListValue(PropertyListValue::Dictionary{{"kept", true}, {"filler", Data(filler, 0)}}), PropertyListSerialization::Format::binary);
            return std::string(bytes.begin(), bytes.end());
        };
        return filled(size - (filled(size).size() - size));
    }
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n<key>kept</key><true/>\n<key>filler</key><array>\n";
    const std::string end = "</array>\n</dict>\n</plist>\n";
    while (xml.size() + 8 + end.size() <= size) xml += "<dict/>\n";
    return xml + end;
}
}  // namespace

TEST_F(UserDefaultsTest, AWriteThatWouldPassTheReadersLimitLeavesTheFileAsItWas) {
    const auto xml = nearlyFullFile(PropertyListSerialization::Format::xml);
    const auto file = directory.write("com.example.full.plist", xml);
    for (int launch = 0; launch < 2; ++launch) {
        LogLines log;
        UserDefaults defaults("com.example.full", directory.path());
        EXPECT_TRUE(defaults.boolForKey("kept")) << "launch " << launch;
        defaults.set(launch, "launch");
        defaults.set(true, "inFront");
        EXPECT_FALSE(defaults.synchronize());
        EXPECT_EQ(defaults.integerForKey("launch"), launch);  // held here
        EXPECT_TRUE(defaults.boolForKey("inFront"));
        // The file is named once, and no key is blamed.
        const auto lines = log.lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("com.example.full.plist"), std::string::npos);
        EXPECT_EQ(lines[0].find("inFront"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".damaged"));
    EXPECT_EQ(std::filesystem::file_size(file), xml.size());

    // A file of another writer that holds one value twice, in one object: written back, the two
    // share it again, so that the file keeps its size.
    const std::size_t shared = std::size_t{21} << 17;  // 2.6 MB, twice over the limit
    Data twice = dataFromString("bplist00");
    twice.insert(twice.end(), {0xD2, 0x01, 0x02, 0x03, 0x03, 0x51, 'a', 0x51, 'b', 0x4F, 0x12});
    for (int shift = 24; shift >= 0; shift -= 8) twice.push_back(static_cast<std::uint8_t>(shared >> shift));
    twice.resize(twice.size() + shared, 7);
    const std::uint64_t table = twice.size();
    for (std::uint8_t offset : {8, 13, 15, 17}) twice.insert(twice.end(), {0, 0, 0, offset});
    twice.insert(twice.end(), {0, 0, 0, 0, 0, 0, 4, 1});
    for (int shift = 56; shift >= 0; shift -= 8) twice.push_back(static_cast<std::uint8_t>(std::uint64_t{4} >> shift));
    twice.insert(twice.end(), 8, 0);
    for (int shift = 56; shift >= 0; shift -= 8) twice.push_back(static_cast<std::uint8_t>(table >> shift));
    const auto sharing = directory.write("com.example.twice.plist", std::string(twice.begin(), twice.end()));
    {
        UserDefaults defaults("com.example.twice", directory.path());
        ASSERT_EQ(defaults.dataForKey("b"), Data(shared, 7));
        defaults.set(true, "inFront");
        EXPECT_TRUE(defaults.synchronize());
    }
    EXPECT_LT(std::filesystem::file_size(sharing), twice.size() + 100);
    const UserDefaults written("com.example.twice", directory.path());
    EXPECT_TRUE(written.boolForKey("inFront"));
    EXPECT_EQ(written.dataForKey("a"), Data(shared, 7));

    // A file with room for small changes only: the one change too large for it holds here, is
    // logged, and the changes made after it are written.
    const auto bytes = *PropertyListSerialization::data(
        PropertyListValue(PropertyListValue::Dictionary{{"filler", Data((std::size_t{4} << 20) - 1000, 0)}}),
        PropertyListSerialization::Format::binary);
    directory.write("com.example.near.plist", std::string(bytes.begin(), bytes.end()));
    std::optional<LogLines> log(std::in_place);
    UserDefaults near("com.example.near", directory.path());
    near.set(Data(2000, 1), "large");
    near.set(true, "inFront");
    EXPECT_FALSE(near.synchronize());
    const auto logged = log->lines();
    log.reset();
    const UserDefaults stored("com.example.near", directory.path());
    EXPECT_TRUE(stored.boolForKey("inFront"));
    EXPECT_FALSE(stored.object("large"));
    EXPECT_EQ(near.dataForKey("large"), Data(2000, 1));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("large"), std::string::npos);
    EXPECT_NE(logged[0].find("com.example.near.plist"), std::string::npos);
}

TEST_F(UserDefaultsTest, ChangesKeptOffAFileTooLargeGoWithTheNextWriteOnceItIsSmaller) {
    // A file too large to be written back: the changes held here are written once this process
    // removes what makes it so.
    const auto xml = directory.write("com.example.xml.plist", nearlyFullFile(PropertyListSerialization::Format::xml));
    UserDefaults full("com.example.xml", directory.path());
    full.set(1, "changed");
    full.set(2, "changed");
    full.set(true, "new");
    EXPECT_FALSE(full.synchronize());
    full.removeObject("filler");
    EXPECT_TRUE(full.synchronize());
    EXPECT_EQ(UserDefaults("com.example.xml", directory.path()).dictionaryRepresentation(),
              (PropertyListValue::Dictionary{{"kept", true}, {"changed", 2}, {"new", true}}));

    // A file with no room left: each key is logged once, however often it changes, and the
    // changes are written once another process has made the file small.
    directory.write("com.example.binary.plist", nearlyFullFile(PropertyListSerialization::Format::binary));
    std::optional<LogLines> log(std::in_place);
    UserDefaults noRoom("com.example.binary", directory.path());
    for (int i = 0; i < 5; ++i) {
        noRoom.set(i, "changed");
        EXPECT_FALSE(noRoom.synchronize());
        noRoom.set(i, "new" + std::to_string(i));
        EXPECT_FALSE(noRoom.synchronize());
    }
    EXPECT_EQ(log->lines().size(), 6u);
    log.reset();
    directory.write("com.example.binary.plist", "<plist><dict><key>other</key><true/></dict></plist>");
    EXPECT_TRUE(noRoom.synchronize());
    PropertyListValue::Dictionary expected{{"other", true}, {"changed", 4}};
    for (int i = 0; i < 5; ++i) expected.emplace("new" + std::to_string(i), i);
    EXPECT_EQ(UserDefaults("com.example.binary", directory.path()).dictionaryRepresentation(), expected);
}

TEST_F(UserDefaultsTest, ChangesMadeWhileNoThreadCanStartAreWrittenOnceOneCan) {
    auto suite = UserDefaults::suite("com.example.threads");
    Thread::setStartsFail(true);
    suite->set(1, "first");
    suite->set(2, "second");
    EXPECT_FALSE(suite->synchronize());  // not written, and not waited for
    EXPECT_EQ(suite->integerForKey("second"), 2);
    Thread::setStartsFail(false);
    EXPECT_TRUE(suite->synchronize());
    EXPECT_EQ(UserDefaults("com.example.threads", directory.path()).dictionaryRepresentation(),
              (PropertyListValue::Dictionary{{"first", 1}, {"second", 2}}));

    // At the end of the process the thread that ends it writes them.
    Thread::setStartsFail(true);
    suite->set(3, "third");
    const auto unwritten = UserDefaults::synchronizeAll(std::chrono::seconds(5));
    Thread::setStartsFail(false);
    EXPECT_TRUE(unwritten.empty());
    EXPECT_EQ(UserDefaults("com.example.threads", directory.path()).integerForKey("third"), 3);
}

namespace {
// How many descriptors of this process are open on the file.
int openDescriptors(const std::filesystem::path& file) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error) == file) ++count;
    }
    return count;
}

// The exit status of the child, which is killed when it has not ended within a minute.
int exitStatus(pid_t child) {
    int status = 0;
    for (int tries = 0; tries < 600; ++tries) {
        if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -2;
}
}  // namespace

// What is pending at a fork is the parent's to write: the child writes only the changes it makes
// itself, key by key into the file as it is then, never an older value of the parent's over one
// the parent has written since.
TEST_F(UserDefaultsTest, AChildForkedWhileAWriteWaitsWritesOnlyItsOwnChanges) {
    // A domain opened through suite(), and one its owner made.
    UserDefaults own("com.example.own", directory.path());
    for (UserDefaults* domain : {UserDefaults::suite("com.example.forked").get(), &own}) {
        SCOPED_TRACE(domain->domain());
        const auto file = directory.path() / (domain->domain() + ".plist");
        const auto lockFile = file.string() + ".lock";
        // The lock is held on a descriptor of the test's own, which the child closes at once.
        const int held = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        domain->set(1, "parent");
        // The parent's write waits for the lock, its lock file open.
        for (int tries = 0; tries < 600 && openDescriptors(lockFile) < 2; ++tries) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(openDescriptors(lockFile), 2);
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(held);
            // Once the parent has written its change and a newer one, the child writes.
            char c = 0;
            if (::read(go[0], &c, 1) != 1) _exit(3);
            domain->set(2, "child");
            _exit(domain->synchronize() ? 0 : 1);
        }
        ::close(go[0]);
        ::close(held);
        EXPECT_TRUE(domain->synchronize());
        domain->set(3, "parent");
        EXPECT_TRUE(domain->synchronize());
        (void)!::write(go[1], "g", 1);
        ::close(go[1]);
        EXPECT_EQ(exitStatus(child), 0) << "-2: the child's synchronize() did not return";
        EXPECT_EQ(UserDefaults(domain->domain(), directory.path()).dictionaryRepresentation(),
                  (PropertyListValue::Dictionary{{"parent", 3}, {"child", 2}}));
    }
}
