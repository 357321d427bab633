#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/DistributedNotificationCenter.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {
struct Listener {};
}  // namespace

TEST(DistributedNotificationCenter, SendersAreTextsMatchedByValue) {
    DistributedNotificationCenter center;
    std::vector<std::string> log;
    auto any = std::make_shared<Listener>(), fromApp = std::make_shared<Listener>();
    center.addObserver(any, [&](const DistributedNotification& n) { log.push_back("any:" + n.object.value_or("-")); },
                       "Refresh");
    center.addObserver(fromApp, [&](const DistributedNotification& n) { log.push_back("app:" + n.object.value_or("-")); },
                       "Refresh", std::string("com.example.app"));

    center.post("Refresh");
    center.post("Refresh", std::string("com.example.") + "app");  // another text of the same value
    center.post("Refresh", std::string("com.example.other"));
    center.post("Other", std::string("com.example.app"));
    EXPECT_EQ(log, (std::vector<std::string>{"any:-", "any:com.example.app", "app:com.example.app",
                                             "any:com.example.other"}));
}

TEST(DistributedNotificationCenter, RemovalAndReleasedObserversStopDelivery) {
    DistributedNotificationCenter center;
    int refreshes = 0, others = 0;
    auto listener = std::make_shared<Listener>();
    center.addObserver(listener, [&](const DistributedNotification&) { ++refreshes; }, "Refresh");
    center.addObserver(listener, [&](const DistributedNotification&) { ++others; }, "Other");
    center.removeObserver(listener, "Refresh");
    center.removeObserver(std::make_shared<Listener>(), "Other");  // never added: nothing happens
    center.post("Refresh");
    center.post("Other");
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(others, 1);

    listener.reset();
    center.post("Other");
    EXPECT_EQ(others, 1);
    EXPECT_EQ(center.observerCount(), 0u);
}

// The user's centre carries posts as session-bus signals: another process (another connection
// here) hears the name and sender text, and its posts reach this process's observers, on the main
// queue, as the process's own posts do.
TEST(DistributedNotificationCenter, TheUsersCentreCarriesPostsOnTheSessionBus) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    constexpr const char* path = "/org/quillon/DistributedNotificationCenter";
    constexpr const char* interface = "org.quillon.DistributedNotificationCenter";

    auto other = sdbus::createSessionBusConnectionWithAddress(bus.address());
    std::mutex mutex;
    std::vector<std::string> heardElsewhere;
    auto match = other->addMatch(std::string("type='signal',interface='") + interface + "'", [&](sdbus::Message& message) {
        std::string name, object;
        bool hasObject = false;
        try {
            message >> name >> hasObject >> object;
        } catch (const sdbus::Error&) {
            return;
        }
        std::lock_guard lock(mutex);
        heardElsewhere.push_back(name + ":" + (hasObject ? object : "-"));
    });
    other->enterEventLoopAsync();

    auto& center = DistributedNotificationCenter::defaultCenter();
    std::vector<std::string> heard;
    bool offMainThread = false;
    auto listener = std::make_shared<Listener>();
    center.addObserver(
        listener,
        [&](const DistributedNotification& n) {
            offMainThread = offMainThread || !Thread::isMainThread();
            heard.push_back(n.name + ":" + n.object.value_or("-"));
        },
        "Refresh");

    auto heardElsewhereCount = [&] {
        std::lock_guard lock(mutex);
        return heardElsewhere.size();
    };
    center.post("Refresh", std::string("com.example.app"));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return heard.size() == 1 && heardElsewhereCount() == 1; }, 10));
    sdbus::createObject(*other, path)->emitSignal("Posted").onInterface(interface).withArguments("Refresh", false, "");
    sdbus::createObject(*other, path)->emitSignal("Posted").onInterface(interface).withArguments("Refresh", true);  // malformed
    center.post("Other");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return heard.size() == 2; }, 10));
    EXPECT_EQ(heard, (std::vector<std::string>{"Refresh:com.example.app", "Refresh:-"}));
    EXPECT_FALSE(offMainThread);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(heardElsewhere.at(0), "Refresh:com.example.app");
    }
    center.removeObserver(listener);
    other->leaveEventLoop();
}

// A post just before the end of the process reaches the other processes: a host posts, then leaves
// main at once, five times; another connection hears each post.
TEST(DistributedNotificationCenter, APostJustBeforeTheEndReachesTheOtherProcesses) {
    constexpr const char* hostVariable = "QUILLON_POSTING_HOST";
    if (std::getenv(hostVariable)) {
        DistributedNotificationCenter::defaultCenter().post("Ending", std::string("com.example.host"));
        std::exit(0);
    }
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    auto other = sdbus::createSessionBusConnectionWithAddress(bus.address());
    std::mutex mutex;
    int heard = 0;
    auto match = other->addMatch("type='signal',interface='org.quillon.DistributedNotificationCenter',member='Posted'",
                                 [&](sdbus::Message& message) {
                                     std::string name;
                                     message >> name;
                                     std::lock_guard lock(mutex);
                                     heard += name == "Ending";
                                 });
    other->enterEventLoopAsync();
    std::vector<std::string> ends;
    for (int run = 0; run < 5; ++run) {
        const auto host = runAsHost("DistributedNotificationCenter.APostJustBeforeTheEndReachesTheOtherProcesses", hostVariable);
        if (!host.exited(0)) ends.push_back(host.said());
    }
    // What reached the bus reaches this connection in a moment.
    for (int i = 0; i < 500 && [&] { std::lock_guard lock(mutex); return heard < 5; }(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    other->leaveEventLoop();
    EXPECT_TRUE(ends.empty()) << ends.size() << " hosts ended otherwise; of the last, " << ends.back();
    std::lock_guard lock(mutex);
    EXPECT_EQ(heard, 5) << "posts heard of 5";
}
