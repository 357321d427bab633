// The end of the process as a library host meets it: the host program is this test program, run
// again with a variable set, that uses the platform and then leaves main.
#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <mutex>
#include <thread>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/DistributedNotificationCenter.hpp"
#include "Foundation/ProcessEnd.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/URLSession.hpp"
#include "Foundation/UserDefaults.hpp"
#include "Foundation/backends/BusService.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {
using namespace std::chrono_literals;

constexpr const char* hostVariable = "QUILLON_END_HOST";

// Where a host keeps its settings: a folder named after the test that started it.
std::filesystem::path settingsOf(pid_t test) {
    return std::filesystem::temp_directory_path() / ("quillon-end-" + std::to_string(test));
}

// Waits for a promise of the host's, or ends the host with `status`.
void awaitOrEnd(std::future<void> future, int status) {
    if (future.wait_for(20s) != std::future_status::ready) std::_Exit(status);
}

// Uses every owner of threads (a settings domain whose file another process keeps locked, a queue,
// a service on the session bus, a bus that is away, an HTTP transfer), then leaves main; at exit,
// after the end, says how many threads the process has left.
[[noreturn]] void hostUsingEveryOwner() {
    // Registered before the end's own hook, so that it runs after it.
    std::atexit([] {
        const auto tasks = std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                         std::filesystem::directory_iterator());
        std::fprintf(stderr, "threads at the end: %ld\n", static_cast<long>(tasks));
    });
    const auto away = settingsOf(::getppid()) / "no-bus";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (away / "socket").string()).c_str(), 1);
    UserDefaults::setDirectory(settingsOf(::getppid()));
    UserDefaults::suite("com.example.end")->set(true, "changedAtTheEnd");

    DispatchQueue queue("com.example.end");
    std::promise<void> ran;
    queue.async([&] { ran.set_value(); });
    awaitOrEnd(ran.get_future(), 2);

    std::promise<void> joined, left;  // told on the queue, once each
    auto session = BusService::make(BusService::Bus::session, "", queue,
                                    {.joined = [&](const std::string&) { joined.set_value(); }});
    awaitOrEnd(joined.get_future(), 3);
    auto system = BusService::make(BusService::Bus::system, "", queue, {.left = [&] { left.set_value(); }});
    awaitOrEnd(left.get_future(), 4);

    std::promise<void> answered;
    auto transfers = URLSession::make(URLSessionConfiguration::ephemeralSessionConfiguration());
    transfers->dataTask(URLRequest(*URL::string("http://127.0.0.1:9/")), [&](auto, auto, auto) { answered.set_value(); })
        ->resume();
    awaitOrEnd(answered.get_future(), 5);
    std::exit(0);
}

// A thread held here, in a callback of the session bus's thread, for longer than the end may take.
std::atomic<bool> holding{false};
std::atomic<bool> resumed{false};

// Stores a setting, holds the bus's thread in a callback, and leaves main with status 7; a static
// made before all that tells, as the statics are destroyed, whether the held thread is still there
// to run on into them.
[[noreturn]] void hostWithAHeldBusThread() {
    static struct Sentinel {
        ~Sentinel() {
            if (holding && !resumed) {
                std::fprintf(stderr, "the statics were destroyed while a thread of ours was still running\n");
                std::_Exit(5);
            }
        }
    } sentinel;
    SystemLog::setSink([](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
    UserDefaults::setDirectory(settingsOf(::getppid()));
    UserDefaults::suite("com.example.held")->set(true, "writtenBeforeTheEnd");
    auto connection = DBusConnection::session();
    if (!connection) std::_Exit(2);
    [[maybe_unused]] static auto* match = new sdbus::Slot(connection->addMatch("type='signal',interface='org.example.Held'", [](sdbus::Message&) {
        holding = true;
        std::this_thread::sleep_for(10s);
        resumed = true;
    }));
    // Sent from another connection: the signal's callback holds the shared connection's lock, which
    // letting go of a message sent through it would wait for.
    static auto* sender = sdbus::createSessionBusConnection().release();
    sdbus::createObject(*sender, "/org/example/Held")->emitSignal("Hold").onInterface("org.example.Held").withArguments(1);
    DBusConnection::wake(*connection);
    for (int i = 0; i < 2000 && !holding; ++i) std::this_thread::sleep_for(5ms);
    if (!holding) std::_Exit(3);
    std::exit(7);
}

// The reads that the process's threads have made so far.
long readsMade() {
    std::ifstream io("/proc/self/io");
    for (std::string line; std::getline(io, line);) {
        if (line.rfind("syscr: ", 0) == 0) return std::stol(line.substr(7));
    }
    return -1;
}

// Registers, before the end's own hook (so that it runs after it), an exit handler that ends a
// forked child with status 0 once its end has run, before a sanitizer's leak check would take the
// memory of its parent's threads for leaks. A child that ends without its exit handlers has the
// status it ended with.
void endChildrenAfterTheirEnd() {
    static const pid_t host = ::getpid();
    std::atexit([] {
        if (::getpid() != host) ::_exit(0);
    });
}

// AddressSanitizer's allocator (in clang before 18) takes no part in a fork: a child forked while
// another thread of its parent is in malloc, or ends, may wait for the allocator for ever.
#ifdef QUILLON_ADDRESS_SANITIZER
constexpr bool forksUnderAddressSanitizer = true;
#else
constexpr bool forksUnderAddressSanitizer = false;
#endif

// Has queues and buses at work (a block that runs throughout, a thread that queues blocks and
// logs, a distributed notification sent on the session bus, a bus service waiting for the system
// bus's socket in a quiet folder), and forks children that each store a setting and leave through
// exit(); says how many of them hung or ended without their exit handlers, and whose setting is
// not on disk, and how many reads the process's threads made in a moment after the last ended.
[[noreturn]] void hostForkingBesideBusyThreads() {
    endChildrenAfterTheirEnd();
    SystemLog::setSink([](const std::string&) {});
    const auto settings = settingsOf(::getppid());
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (settings / "no-bus" / "socket").string()).c_str(), 1);
    UserDefaults::setDirectory(settings);
    DispatchQueue queue("com.example.fork");
    std::promise<void> left;
    auto system = BusService::make(BusService::Bus::system, "", queue, {.left = [&] { left.set_value(); }});
    awaitOrEnd(left.get_future(), 2);
    DistributedNotificationCenter::defaultCenter().post("org.example.Forking");
    DispatchQueue busy("com.example.busy", DispatchQueue::Attributes::concurrent);
    std::atomic<bool> forking{true};
    std::promise<void> running;
    busy.async([&] {
        running.set_value();
        while (forking) std::this_thread::sleep_for(1ms);
    });
    awaitOrEnd(running.get_future(), 3);
    std::thread feeding([&] {
        while (forking) {
            busy.async([] {});
            SystemLog::write("A line of the host's own.");
        }
    });
    int hung = 0, withoutHandlers = 0, lost = 0;
    for (int i = 0; i < 10 && hung == 0; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);  // a child that hangs ends by the signal
            UserDefaults::suite("com.example.fork")->set(i, "child" + std::to_string(i));
            std::exit(3);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        hung += WIFSIGNALED(status);
        withoutHandlers += WIFEXITED(status) && WEXITSTATUS(status) != 0;
        const auto stored = UserDefaults("com.example.fork", settings).object("child" + std::to_string(i));
        lost += stored != PropertyListValue(i);
    }
    forking = false;
    feeding.join();
    std::fprintf(stderr, "children that hung: %d, that ended without their exit handlers: %d, whose setting is lost: %d\n",
                 hung, withoutHandlers, lost);
    const auto before = readsMade();
    std::this_thread::sleep_for(200ms);
    std::fprintf(stderr, "reads after the children ended: %ld\n", readsMade() - before);
    std::exit(0);
}

// Stores a setting in `domain`, then leaves main while a queue's block waits for the end to pass
// the settings, after which the block runs `late`.
[[noreturn]] void leaveMainBeforeABlockThatOutlastsTheSettings(const std::string& domain, std::function<void()> late) {
    UserDefaults::setDirectory(settingsOf(::getppid()));
    UserDefaults::suite(domain)->set(true, "parent");
    DispatchQueue queue(domain);
    std::promise<void> started;
    queue.async([&] {
        started.set_value();
        // No owner registers with a stage the end has passed (the settings' own is registered).
        while (ProcessEnd::add(ProcessEnd::Stage::settings, nullptr)) std::this_thread::sleep_for(1ms);
        late();
    });
    awaitOrEnd(started.get_future(), 2);
    std::exit(0);
}

// Leaves main while a queue's block waits for the end to pass the settings; the block then forks a
// child that stores a setting and leaves through exit(), and says which.
[[noreturn]] void hostForkingDuringTheEnd() {
    endChildrenAfterTheirEnd();
    leaveMainBeforeABlockThatOutlastsTheSettings("com.example.ending", [] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);  // a child that hangs ends by the signal
            UserDefaults::suite("com.example.ending")->set(true, "child");
            std::exit(3);
        }
        std::fprintf(stderr, "forked %d\n", static_cast<int>(child));
    });
}

// Leaves main while a queue's block waits for the end to pass the settings; the block then stores
// a setting in a domain whose lock is free and one in a domain whose lock another process holds.
[[noreturn]] void hostStoringSettingsLate() {
    SystemLog::setSink([](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
    leaveMainBeforeABlockThatOutlastsTheSettings("com.example.late", [] {
        UserDefaults::suite("com.example.late")->set(true, "late");
        UserDefaults::suite("com.example.locked")->set(true, "late");
    });
}
}  // namespace

// A library host that used settings, queues, buses and HTTP leaves main while another process
// holds the settings' lock: the settings get their time, every thread of ours is stopped and
// joined by the end, and the process ends as main said.
TEST(ProcessEnd, ALibraryHostEndsWithNoThreadOfOursLeft) {
    if (std::getenv(hostVariable)) hostUsingEveryOwner();
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const auto settings = settingsOf(::getpid());
    std::filesystem::create_directories(settings);
    LockHeldElsewhere lock(settings / "com.example.end.plist.lock");
    const auto run = runAsHost("ProcessEnd.ALibraryHostEndsWithNoThreadOfOursLeft", hostVariable);
    lock.release();
    std::filesystem::remove_all(settings);
    EXPECT_TRUE(run.exited(0)) << run.said();
    EXPECT_NE(run.output.find("threads at the end: 1\n"), std::string::npos) << run.output;
}

// A thread still busy when the end's time is up is never left to run while the statics are
// destroyed: the process ends without destroying them, with its settings written and its status,
// and the log names the owner that held it.
TEST(ProcessEnd, AThreadHeldPastTheEndsPatienceNeverRunsIntoTheStatics) {
    if (std::getenv(hostVariable)) hostWithAHeldBusThread();
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const auto settings = settingsOf(::getpid());
    std::filesystem::create_directories(settings);
    const auto run = runAsHost("ProcessEnd.AThreadHeldPastTheEndsPatienceNeverRunsIntoTheStatics", hostVariable);
    EXPECT_TRUE(run.exited(7)) << run.said();
    EXPECT_NE(run.output.find("the buses' threads still had a thread running"), std::string::npos) << run.output;
    EXPECT_EQ(UserDefaults("com.example.held", settings).object("writtenBeforeTheEnd"), PropertyListValue(true));
    std::filesystem::remove_all(settings);
}

// Children forked beside threads of ours that are at work, each storing a setting, end as a process
// would: the end there stops none of the parent's owners and waits for none of its threads, the
// setting is written by the child itself, the exit handlers run, and the parent's threads go on
// waiting as they did (a thread woken for nothing over and over would read on and on).
TEST(ProcessEnd, ForkedChildrenStoreTheirSettingsAndEndWithTheirExitHandlers) {
    if (std::getenv(hostVariable)) hostForkingBesideBusyThreads();
    if (forksUnderAddressSanitizer) GTEST_SKIP() << "a child forked beside threads that allocate may wait for the sanitizer's allocator";
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const auto settings = settingsOf(::getpid());
    std::filesystem::create_directories(settings / "no-bus");
    const auto run = runAsHost("ProcessEnd.ForkedChildrenStoreTheirSettingsAndEndWithTheirExitHandlers", hostVariable);
    std::filesystem::remove_all(settings);
    EXPECT_TRUE(run.exited(0)) << run.said();
    EXPECT_NE(run.output.find("children that hung: 0, that ended without their exit handlers: 0, whose setting is lost: 0\n"),
              std::string::npos)
        << run.output;
    const std::string said = "reads after the children ended: ";
    const auto reads = run.output.find(said);
    ASSERT_NE(reads, std::string::npos) << run.output;
    EXPECT_LT(std::stol(run.output.substr(reads + said.size())), 100) << run.output;
}

// A child forked while the process ends, by a block the end waits for, ends too: with its exit
// handlers and its setting written.
TEST(ProcessEnd, AChildForkedWhileTheProcessEndsEnds) {
    if (std::getenv(hostVariable)) hostForkingDuringTheEnd();
    const auto settings = settingsOf(::getpid());
    std::filesystem::create_directories(settings);
    // The child outlives its parent, the host: it is this process's to wait for.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const auto run = runAsHost("ProcessEnd.AChildForkedWhileTheProcessEndsEnds", hostVariable);
    const std::string said = "forked ";
    const auto forked = run.output.find(said);
    int status = -1;
    if (forked != std::string::npos) ::waitpid(std::stoi(run.output.substr(forked + said.size())), &status, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_TRUE(run.exited(0)) << run.said();
    ASSERT_NE(forked, std::string::npos) << run.output;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child hung (a signal) or ended without its exit handlers: " << status;
    EXPECT_EQ(UserDefaults("com.example.ending", settings).dictionaryRepresentation(),
              (PropertyListValue::Dictionary{{"parent", true}, {"child", true}}));
    std::filesystem::remove_all(settings);
}

// A child forked while another thread writes to the system log writes to it too.
TEST(SystemLog, AChildForkedWhileAnotherThreadLogsCanLog) {
    std::atomic<bool> forking{true};
    std::thread logging([&] {
        while (forking) SystemLog::write("A line of the test's own.");
    });
    int hung = 0;
    for (int i = 0; i < 20 && hung == 0; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);  // a child that hangs ends by the signal
            SystemLog::write("A line of a forked child.");
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status)) ++hung;
    }
    forking = false;
    logging.join();
    EXPECT_EQ(hung, 0);
}

// A setting stored after the end has written the settings, by a block the end waits for, is
// written by the thread that stores it, and where another process holds the domain's lock past the
// settings' time, logged by its key; the end waits for that thread as long as for the settings.
TEST(ProcessEnd, ASettingStoredAfterTheEndsSettingsStageIsWrittenOrLogged) {
    if (std::getenv(hostVariable)) hostStoringSettingsLate();
    const auto settings = settingsOf(::getpid());
    std::filesystem::create_directories(settings);
    LockHeldElsewhere lock(settings / "com.example.locked.plist.lock");
    const auto run = runAsHost("ProcessEnd.ASettingStoredAfterTheEndsSettingsStageIsWrittenOrLogged", hostVariable);
    lock.release();
    EXPECT_TRUE(run.exited(0)) << run.said();
    EXPECT_EQ(UserDefaults("com.example.late", settings).object("late"), PropertyListValue(true));
    EXPECT_NE(run.output.find("com.example.locked.plist was not written with late before"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("The process ended without destroying its statics"), std::string::npos) << run.output;
    std::filesystem::remove_all(settings);
}
