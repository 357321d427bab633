#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/RunLoop.hpp"
#include "RarAvi/SleepWakeObserver.hpp"
#include "Testing/PrivateBus.hpp"

using namespace RarAvi;

namespace {

struct RecordingDelegate : SleepWakeObserverDelegate {
    std::vector<std::string> calls;
    void willSleep() override { calls.push_back("sleep"); }
    void didWake() override { calls.push_back("wake"); }
};

void postSleepAndWake() {
    NSWorkspace::shared().notificationCenter().post(NSWorkspaceWillSleepNotification);
    NSWorkspace::shared().notificationCenter().post(NSWorkspaceDidWakeNotification);
}

}  // namespace

TEST(SleepWakeObserver, TellsItsDelegateOncePerNotice) {
    SleepWakeObserver observer;
    auto delegate = std::make_shared<RecordingDelegate>();
    observer.setDelegate(delegate);
    postSleepAndWake();  // not observing yet
    observer.startObserving();
    postSleepAndWake();
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"sleep", "wake"}));

    observer.stopObserving();
    postSleepAndWake();
    EXPECT_EQ(delegate->calls.size(), 2u);
}

TEST(SleepWakeObserver, NeitherKeepsNorNeedsItsDelegate) {
    SleepWakeObserver observer;
    observer.startObserving();
    postSleepAndWake();  // no delegate: ignored

    std::weak_ptr<RecordingDelegate> released;
    {
        auto delegate = std::make_shared<RecordingDelegate>();
        observer.setDelegate(delegate);
        released = delegate;
    }
    EXPECT_TRUE(released.expired());
    EXPECT_EQ(observer.delegate(), nullptr);
    postSleepAndWake();
}

TEST(SleepWakeObserver, AReleasedObserverLeavesNoRegistration) {
    auto& center = NSWorkspace::shared().notificationCenter();
    auto before = center.observerCount();
    auto delegate = std::make_shared<RecordingDelegate>();
    {
        SleepWakeObserver observer;
        observer.setDelegate(delegate);
        observer.startObserving();
        EXPECT_EQ(center.observerCount(), before + 2);
    }
    EXPECT_EQ(center.observerCount(), before);
    postSleepAndWake();
    EXPECT_TRUE(delegate->calls.empty());
}

TEST(SleepWakeObserver, TheSharedObserverObservesFromTheStart) {
    auto delegate = std::make_shared<RecordingDelegate>();
    EXPECT_EQ(SleepWakeObserver::shared(), SleepWakeObserver::shared());
    SleepWakeObserver::shared()->setDelegate(delegate);
    postSleepAndWake();
    SleepWakeObserver::shared()->setDelegate(nullptr);
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"sleep", "wake"}));
}

// A host that is no application hears logind's sleep and wake through the observer alone.
TEST(SleepWakeObserver, HearsLogindWithoutAnApplication) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    bus.startMock("logind", "org.freedesktop.login1");
    SleepWakeObserver observer;
    auto delegate = std::make_shared<RecordingDelegate>();
    observer.setDelegate(delegate);
    observer.startObserving();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return bus.listensFor("member='PrepareForSleep'"); }, 15));
    for (bool sleeping : {true, false}) {
        bus.proxy("org.freedesktop.login1", "/org/freedesktop/login1")
            ->callMethod("EmitSignal")
            .onInterface("org.freedesktop.DBus.Mock")
            .withArguments(std::string("org.freedesktop.login1.Manager"), std::string("PrepareForSleep"), std::string("b"),
                           std::vector<sdbus::Variant>{sdbus::Variant(sleeping)});
    }
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return delegate->calls.size() == 2; }, 15));
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"sleep", "wake"}));
}
