#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppKit/NSWorkspace.hpp"
#include "RarAvi/DistributedNotifications.hpp"
#include "RarAvi/SleepWakeObserver.hpp"

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

TEST(DistributedNotifications, SenderTextsLimitWhoHears) {
    std::vector<std::string> heard;
    auto anyone = std::make_shared<int>(0), appOnly = std::make_shared<int>(0);
    DistributedNotifications::addObserver(anyone, [&](const DistributedNotification& n) {
        heard.push_back("anyone:" + n.object.value_or("none"));
    }, "QuillonTestPing");
    DistributedNotifications::addObserver(appOnly, [&](const DistributedNotification& n) {
        heard.push_back("app:" + n.object.value_or("none"));
    }, "QuillonTestPing", std::string("com.example.app"));

    DistributedNotifications::post("QuillonTestPing");
    DistributedNotifications::post("QuillonTestPing", std::string("com.example.other"));
    DistributedNotifications::post("QuillonTestPing", std::string("com.example.app"));
    DistributedNotifications::removeObserver(appOnly, "QuillonTestPing");
    DistributedNotifications::post("QuillonTestPing", std::string("com.example.app"));
    DistributedNotifications::removeObserver(anyone, "QuillonTestPing");
    DistributedNotifications::post("QuillonTestPing");
    EXPECT_EQ(heard, (std::vector<std::string>{"anyone:none", "anyone:com.example.other", "anyone:com.example.app",
                                               "app:com.example.app", "anyone:com.example.app"}));
}
