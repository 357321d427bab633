#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/Thread.hpp"
#include "Foundation/backends/BusService.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {
constexpr const char* name = "org.example.Echo";
constexpr const char* path = "/org/example/Echo";
constexpr const char* interface = "org.example.Echo";

std::string echo(sdbus::IConnection& connection, const std::string& text) {
    std::string answer;
    sdbus::createProxy(connection, name, path)
        ->callMethod("Echo")
        .onInterface(interface)
        .withArguments(text)
        .storeResultsTo(answer);
    return answer;
}

/// The sockets that the kernel lists at the path of the bus's socket: its daemon's, and one for each
/// connection made to it, taken by the daemon or not yet.
int socketsAt(const PrivateBus& bus) {
    const auto& address = bus.address();
    const auto path = " " + address.substr(address.find("path=") + 5);
    std::ifstream table("/proc/net/unix");
    int count = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.size() > path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) ++count;
    }
    return count;
}
}  // namespace

// One connection is shared while the bus stays; a bus at another address gets a connection of its own.
TEST(DBusConnection, SharesOneConnectionPerBusAddress) {
    std::shared_ptr<sdbus::IConnection> first;
    {
        PrivateSessionBus bus;
        if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
        bus.startObjectMock(name, path, interface);
        bus.addMethod(name, path, interface, "Echo", "s", "s", "ret = args[0]");
        first = DBusConnection::session();
        ASSERT_TRUE(first);
        EXPECT_EQ(first, DBusConnection::session());
        EXPECT_TRUE(DBusConnection::hasOwner(*first, name));
        EXPECT_EQ("hello", echo(*first, "hello"));
    }
    PrivateSessionBus next;
    next.startObjectMock(name, path, interface);
    next.addMethod(name, path, interface, "Echo", "s", "s", "ret = args[0] + '!'");
    auto second = DBusConnection::session();
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ("hi!", echo(*second, "hi"));
}

// Joining a bus waits for its daemon; asking for the other bus meanwhile does not.
TEST(DBusConnection, ABusWhoseDaemonHangsHoldsUpNoOneAskingForTheOther) {
    PrivateSystemBus system;
    if (!system.unavailable().empty()) GTEST_SKIP() << system.unavailable();
    PrivateSessionBus session;
    system.pause();
    const auto before = socketsAt(system);
    std::thread joining([] { DBusConnection::system(); });  // waits for the daemon to answer
    for (int i = 0; i < 1500 && socketsAt(system) == before; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));

    auto asked = std::async(std::launch::async, [] { return DBusConnection::session(); });
    const bool answered = asked.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    system.resume();
    joining.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(asked.get());
}

// Where no thread can be started for a connection (at the process's limit of threads), none is
// made: the caller hears that no bus answers, nothing of it is kept open or listed, and the next
// try joins.
TEST(DBusConnection, AConnectionWithoutAThreadIsNotMadeAndTheNextTryJoins) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    auto descriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
    };
    DBusConnection::prepare();  // what the buses keep open for the whole process
    const auto open = descriptors();
    Thread::setStartsFail(true);
    EXPECT_FALSE(DBusConnection::separate(DBusConnection::Bus::session));
    Thread::setStartsFail(false);
    EXPECT_EQ(descriptors(), open);
    auto joined = DBusConnection::separate(DBusConnection::Bus::session);
    ASSERT_TRUE(joined);
    EXPECT_TRUE(DBusConnection::hasOwner(*joined, "org.freedesktop.DBus"));
}

// A service is followed as it comes, goes and comes back, and across a restart of its bus; the
// client hears of each on the queue it named, in order, and the answers to its calls likewise,
// never inside the call. A call is given up on at its deadline, also while the bus is quiet.
TEST(BusService, FollowsItsServiceAcrossRestartsOfItAndOfTheBus) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    std::vector<std::string> events;
    bool offMainThread = false;
    auto note = [&](const std::string& event) {
        offMainThread = offMainThread || !Thread::isMainThread();
        events.push_back(event);
    };
    auto service = BusService::make(
        BusService::Bus::session, name, DispatchQueue::main(),
        {.joined = [&](const std::string& owner) { note(owner.empty() ? "joined, nobody" : "joined, owned"); },
         .ownerChanged = [&](const std::string& owner) { note(owner.empty() ? "gone" : "owned"); },
         .left = [&] { note("left"); }});
    auto heard = [&](std::vector<std::string> expected) {
        return RunLoop::main().runUntil([&] { return events == expected; }, 15);
    };
    ASSERT_TRUE(heard({"joined, nobody"}));
    bus.startObjectMock(name, path, interface);
    bus.addMethod(name, path, interface, "Echo", "s", "s", "ret = args[0]");
    bus.addMethod(name, path, interface, "Slow", "", "", "__import__('time').sleep(4)");
    ASSERT_TRUE(heard({"joined, nobody", "owned"}));

    std::optional<std::string> echoed;
    service->call({path, interface, "Echo", [](sdbus::MethodCall& call) { call << std::string("hello"); }},
                  [&](sdbus::MethodReply* reply, const sdbus::Error*) -> std::function<void()> {
                      std::string text = "error";
                      if (reply) *reply >> text;
                      return [&, text] { note("echo " + text); };
                  });
    EXPECT_EQ(events.size(), 2u);
    ASSERT_TRUE(heard({"joined, nobody", "owned", "echo hello"}));

    const auto sent = std::chrono::steady_clock::now();
    service->call({path, interface, "Slow", {}, std::chrono::milliseconds(300)},
                  [&](sdbus::MethodReply* reply, const sdbus::Error*) -> std::function<void()> {
                      return [&, failed = !reply] { note(failed ? "slow failed" : "slow answered"); };
                  });
    ASSERT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed"}));
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(3));

    bus.stopMock(name);
    ASSERT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed", "gone"}));
    bus.restart();
    ASSERT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed", "gone", "left", "joined, nobody"}));
    bus.startObjectMock(name, path, interface);
    EXPECT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed", "gone", "left", "joined, nobody", "owned"}));

    // Gone, and then another bus named that is not there either: each is told of.
    bus.stop();
    ASSERT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed", "gone", "left", "joined, nobody", "owned", "gone", "left"}));
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quillon-test-bus", 1);
    service->followAddress();
    EXPECT_TRUE(heard({"joined, nobody", "owned", "echo hello", "slow failed", "gone", "left", "joined, nobody", "owned", "gone", "left", "left"}));
    EXPECT_FALSE(offMainThread);
}

// A bus that comes back while no thread can be started is joined once threads can be made again,
// also when the service's own thread had ended meanwhile (it ends when idle for two seconds).
TEST(BusService, ABusBackWhileNoThreadCanStartIsJoinedOnceOneCan) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    DispatchQueue queue("test.client");
    std::atomic<int> joins{0};
    std::atomic<bool> left{false};
    auto service = BusService::make(BusService::Bus::session, "", queue,
                                    {.joined = [&](const std::string&) { ++joins; }, .left = [&] { left = true; }});
    auto until = [](const std::function<bool()>& done) {
        for (int i = 0; i < 1500 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return done();
    };
    ASSERT_TRUE(until([&] { return joins == 1; }));
    bus.stop();
    ASSERT_TRUE(until([&] { return left.load(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    Thread::setStartsFail(true);
    bus.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the socket is seen, the join finds no thread
    Thread::setStartsFail(false);
    EXPECT_TRUE(until([&] { return joins == 2; }));
}

// Signals reach the client on the serial queue it names in the order the bus sent them, whatever
// number come at once.
TEST(BusService, TellsTheClientInTheOrderTheBusSent) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    DispatchQueue queue("test.client");
    std::promise<void> joined;
    std::vector<int> heard;  // on the client's queue
    BusService::Client client{.joined = [&](const std::string&) { joined.set_value(); }};
    client.matches.emplace_back("type='signal',interface='org.example.Ticks',member='Tick'",
                                [&](sdbus::Message& message) -> std::function<void()> {
                                    std::int32_t tick = 0;
                                    message >> tick;
                                    return [&heard, tick] { heard.push_back(tick); };
                                });
    auto service = BusService::make(BusService::Bus::session, "", queue, std::move(client));
    ASSERT_EQ(joined.get_future().wait_for(std::chrono::seconds(15)), std::future_status::ready);

    auto ticks = sdbus::createObject(bus.connection(), "/org/example/Ticks");
    ticks->registerSignal("Tick").onInterface("org.example.Ticks").withParameters<std::int32_t>();
    ticks->finishRegistration();
    std::vector<int> sent;
    for (std::int32_t tick = 0; tick < 500; ++tick) {
        ticks->emitSignal("Tick").onInterface("org.example.Ticks").withArguments(tick);
        sent.push_back(tick);
    }
    bus.hasOwner(name);  // what is queued on the test's connection goes out first
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    std::size_t count = 0;
    while ((count = queue.sync([&] { return heard.size(); })) < sent.size() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(queue.sync([&] { return heard; }), sent);
}

// What the service makes known comes after the call that caused it has returned, also where the
// answer is known at once (no bus to call over).
TEST(BusService, AnswersNeverInsideTheCallersOwnCall) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    bus.stop();
    bool left = false;
    auto service = BusService::make(BusService::Bus::session, name, DispatchQueue::main(), {.left = [&] { left = true; }});
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return left; }, 15));
    bool returned = false;
    std::optional<bool> answeredAfterReturn;
    service->call({path, interface, "Echo"}, [&](sdbus::MethodReply*, const sdbus::Error*) -> std::function<void()> {
        return [&] { answeredAfterReturn = returned; };
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the error is read meanwhile
    returned = true;
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return answeredAfterReturn.has_value(); }, 15));
    EXPECT_TRUE(*answeredAfterReturn);
}

namespace {
// Joins the session bus, calls a method of a peer that takes long to answer from a thread of the
// caller's own, so that the bus's thread waits behind the caller, and ends the process, noting when
// it began to end.
[[noreturn]] void exitWithAHungCall() {
    auto connection = DBusConnection::session();
    if (!connection) std::_Exit(2);
    std::thread([connection] {
        try {
            sdbus::createProxy(*connection, name, path)->callMethod("Slow").onInterface(interface).withTimeout(std::chrono::seconds(20));
        } catch (const sdbus::Error&) {
        }
    }).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    DBusConnection::wake(*connection);  // the bus's thread now waits behind the caller
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::ofstream(std::filesystem::temp_directory_path() / ("quillon-exit-" + std::to_string(::getppid())))
        << std::chrono::steady_clock::now().time_since_epoch().count();
    std::exit(0);
}
}  // namespace

// At exit the buses' threads are given a second at most: a call that hangs, with the bus's thread
// waiting behind its caller, does not hold up the end of the process.
TEST(DBusConnection, ExitWaitsNoMoreThanASecondForACallThatHangs) {
    if (std::getenv("QUILLON_HUNG_CALL_HOST")) exitWithAHungCall();
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    bus.startObjectMock(name, path, interface);
    bus.addMethod(name, path, interface, "Slow", "", "", "__import__('time').sleep(20)");
    const auto stamp = std::filesystem::temp_directory_path() / ("quillon-exit-" + std::to_string(::getpid()));
    const auto run = runAsHost("DBusConnection.ExitWaitsNoMoreThanASecondForACallThatHangs", "QUILLON_HUNG_CALL_HOST");
    const auto ended = std::chrono::steady_clock::now().time_since_epoch().count();
    EXPECT_TRUE(run.exited(0)) << run.said();
    std::ifstream file(stamp);
    long long began = 0;
    ASSERT_TRUE(file >> began);
    std::filesystem::remove(stamp);
    EXPECT_LT(std::chrono::nanoseconds(ended - began), std::chrono::seconds(2));
}

namespace {
// Lets go of connections of its own on other threads while their threads are busy in a callback
// until one moment, and ends the process meanwhile.
[[noreturn]] void exitWhileConnectionsAreLetGoOf() {
    ::alarm(10);  // an end that hangs fails the test
    static std::atomic<int> busy{0};
    static const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    // Never let go of: their connections go first.
    static auto* proxies = new std::vector<std::unique_ptr<sdbus::IProxy>>();
    constexpr int count = 6;
    for (int i = 0; i < count; ++i) {
        auto own = DBusConnection::separate(DBusConnection::Bus::session);
        if (!own) std::_Exit(2);
        proxies->push_back(sdbus::createProxy(*own, "org.freedesktop.DBus", "/org/freedesktop/DBus"));
        proxies->back()
            ->callMethodAsync("GetId")
            .onInterface("org.freedesktop.DBus")
            .uponReplyInvoke([](const sdbus::Error*, const std::string&) {
                ++busy;
                std::this_thread::sleep_until(until);
            });
        DBusConnection::wake(*own);
        std::thread([own = std::move(own)]() mutable {
            while (busy < count) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            own.reset();  // waits for the callback
        }).detach();
    }
    while (busy < count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::exit(0);
}
}  // namespace

// The end of the process leaves the connections that other threads are letting go of to them, and
// waits for their threads all the same.
TEST(DBusConnection, ExitLeavesConnectionsBeingLetGoOfToTheirOwners) {
    if (std::getenv("QUILLON_LETTING_GO_HOST")) exitWhileConnectionsAreLetGoOf();
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const auto run = runAsHost("DBusConnection.ExitLeavesConnectionsBeingLetGoOfToTheirOwners", "QUILLON_LETTING_GO_HOST");
    EXPECT_TRUE(run.exited(0)) << run.said();
}
