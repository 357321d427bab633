// Sleep and wake from python-dbusmock's logind on a private system bus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

constexpr const char* logind = "org.freedesktop.login1";
constexpr const char* logindPath = "/org/freedesktop/login1";

class SystemSleepFeedTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        bus = std::make_unique<PrivateSystemBus>();
        if (!bus->unavailable().empty()) GTEST_SKIP() << bus->unavailable();
    }
    void TearDown() override {
        if (token) NSWorkspace::shared().notificationCenter().removeObserver(token);
        bus.reset();
        VirtualTimeTest::TearDown();
    }

    void observe() {
        token = std::make_shared<int>();
        NSWorkspace::shared().notificationCenter().addObserver(
            token,
            [this](const Notification& notice) {
                offMainThread = offMainThread || !Thread::isMainThread();
                notices.push_back(notice.name);
            },
            std::nullopt);
    }

    /// logind announces sleep (true) or wake (false).
    void prepareForSleep(bool sleeping) {
        bus->proxy(logind, logindPath)
            ->callMethod("EmitSignal")
            .onInterface("org.freedesktop.DBus.Mock")
            .withArguments(std::string("org.freedesktop.login1.Manager"), std::string("PrepareForSleep"), std::string("b"),
                           std::vector<sdbus::Variant>{sdbus::Variant(sleeping)});
    }
    bool waitForNotices(std::size_t count) {
        return RunLoop::main().runUntil([&] { return notices.size() >= count; }, 15);
    }

    std::unique_ptr<PrivateSystemBus> bus;
    std::shared_ptr<int> token;
    std::vector<std::string> notices;
    bool offMainThread = false;
};

}  // namespace

// The workspace's centre hears logind from its first use on, without the application starting
// anything, and logind may come after it.
TEST_F(SystemSleepFeedTest, TheWorkspacePostsLogindsSleepAndWake) {
    observe();
    bus->startMock("logind", logind);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return bus->listensFor("member='PrepareForSleep'"); }, 15));

    prepareForSleep(true);
    ASSERT_TRUE(waitForNotices(1));
    prepareForSleep(false);
    ASSERT_TRUE(waitForNotices(2));
    EXPECT_EQ(notices, (std::vector<std::string>{NSWorkspaceWillSleepNotification, NSWorkspaceDidWakeNotification}));
    EXPECT_FALSE(offMainThread);

    // The same signal from anyone but logind is not believed, broadcast or sent to this process
    // alone.
    auto impostor = sdbus::createObject(bus->connection(), logindPath);
    impostor->emitSignal("PrepareForSleep").onInterface("org.freedesktop.login1.Manager").withArguments(true);
    auto toUsAlone = impostor->createSignal("org.freedesktop.login1.Manager", "PrepareForSleep");
    toUsAlone.setDestination(bus->listener("member='PrepareForSleep'"));
    toUsAlone << true;
    impostor->emitSignal(toUsAlone);
    prepareForSleep(false);  // logind's own notice comes after the impostor's
    ASSERT_TRUE(waitForNotices(3));
    EXPECT_EQ(notices.back(), NSWorkspaceDidWakeNotification);
    EXPECT_EQ(notices.size(), 3u);
}
