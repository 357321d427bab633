#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/NotificationCenter.hpp"

namespace {
struct Observer {
    std::vector<std::string> seen;
};
}  // namespace

TEST(NotificationCenter, DeliversInRegistrationOrderToMatchingObservers) {
    NotificationCenter center;
    std::vector<std::string> log;
    auto first = std::make_shared<Observer>(), second = std::make_shared<Observer>();
    auto sender = std::make_shared<int>(1), otherSender = std::make_shared<int>(2);
    center.addObserver(first, [&](const Notification& n) { log.push_back("first:" + n.name); }, "Resize");
    center.addObserver(second, [&](const Notification& n) { log.push_back("second:" + n.name); }, std::nullopt, sender);

    center.post("Resize");            // second wants a particular sender
    center.post("Other", sender);     // first wants another name
    center.post("Resize", otherSender);
    EXPECT_EQ(log, (std::vector<std::string>{"first:Resize", "second:Other", "first:Resize"}));
}

TEST(NotificationCenter, ObserversAreHeldWeaklyAndRegisteringTwiceCallsTwice) {
    NotificationCenter center;
    int calls = 0;
    auto observer = std::make_shared<Observer>();
    center.addObserver(observer, [&](const Notification&) { ++calls; }, "Tick");
    center.addObserver(observer, [&](const Notification&) { ++calls; }, "Tick");
    center.post("Tick");
    EXPECT_EQ(calls, 2);
    observer.reset();
    center.post("Tick");
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST(NotificationCenter, RemovalDuringAPostIsSafeAndTakesEffectAtOnce) {
    NotificationCenter center;
    auto a = std::make_shared<Observer>(), b = std::make_shared<Observer>();
    std::vector<std::string> log;
    center.addObserver(a, [&](const Notification&) {
        log.push_back("a");
        center.removeObserver(b);
        center.removeObserver(a, "Tick");
    }, "Tick");
    center.addObserver(b, [&](const Notification&) { log.push_back("b"); }, "Tick");
    center.post("Tick");
    center.post("Tick");
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));

    center.removeObserver(std::make_shared<Observer>());  // never added: nothing happens
}

TEST(NotificationCenter, RemovalByNameLeavesOtherRegistrations) {
    NotificationCenter center;
    auto observer = std::make_shared<Observer>();
    center.addObserver(observer, [&](const Notification& n) { observer->seen.push_back(n.name); }, "A");
    center.addObserver(observer, [&](const Notification& n) { observer->seen.push_back(n.name); }, "B");
    center.removeObserver(observer, "A");
    center.post("A");
    center.post("B");
    EXPECT_EQ(observer->seen, (std::vector<std::string>{"B"}));
}

TEST(NotificationCenter, BlockObserversLiveUntilTheirTokenIsRemoved) {
    NotificationCenter center;
    int calls = 0;
    auto token = center.addObserver("Ping", nullptr, nullptr, [&](const Notification& n) {
        calls += std::any_cast<int>(n.userInfo.at("count"));
    });
    center.post("Ping", nullptr, {{"count", 3}});
    center.removeObserver(token);
    center.post("Ping", nullptr, {{"count", 3}});
    EXPECT_EQ(calls, 3);
}
