#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/DistributedNotificationCenter.hpp"

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
