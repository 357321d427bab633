#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <set>

#include "SystemConfiguration/SCNetworkReachability.hpp"
#include "ZuzeDiv/Notifications.hpp"
#include "ZuzeDiv/Reachability.hpp"

using namespace ZuzeDiv;

TEST(Reachability, NeedsReachableWithoutARequiredConnection) {
    std::optional<SCNetworkReachabilityFlags> answer;
    SCNetworkReachabilitySetFlagsProvider([&](const sockaddr* address) {
        EXPECT_EQ(address->sa_family, AF_INET);
        return answer;
    });
    answer = kSCNetworkReachabilityFlagsReachable;
    EXPECT_TRUE(Reachability::isConnectedToNetwork());
    answer = kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsConnectionRequired;
    EXPECT_FALSE(Reachability::isConnectedToNetwork());
    answer = 0u;
    EXPECT_FALSE(Reachability::isConnectedToNetwork());
    answer = std::nullopt;  // flags that cannot be read
    EXPECT_FALSE(Reachability::isConnectedToNetwork());
    SCNetworkReachabilitySetFlagsProvider(nullptr);
}

class UserNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        UNUserNotificationCenter::current().setDeliverer([](const UNNotificationRequest&) { return std::optional<UNError>(); });
    }
    void TearDown() override {
        UNUserNotificationCenter::current().setModel({});
        UNUserNotificationCenter::current().setDeliverer(nullptr);
    }
    void answer(UNAuthorizationStatus status, UNAlertStyle style, bool grants = true,
                std::optional<UNError> authorizationError = std::nullopt) {
        UNUserNotificationCenter::current().setModel({{status, style}, grants, authorizationError, std::nullopt});
    }
    template <class T>
    static T await(std::future<T> future) {
        EXPECT_EQ(future.wait_for(std::chrono::seconds(5)), std::future_status::ready);
        return future.get();
    }
};

TEST_F(UserNotificationsTest, AuthorisationErrorsWinOverTheGrantedFlag) {
    answer(UNAuthorizationStatus::notDetermined, UNAlertStyle::banner, true, UNError{"test", 9, "refused"});
    std::promise<Notifications::AuthorizationResult> result;
    Notifications::requestAuthorization([&](Notifications::AuthorizationResult r) { result.set_value(r); });
    auto r = await(result.get_future());
    EXPECT_FALSE(r.succeeded());
    EXPECT_EQ(r.error->code, 9);
    EXPECT_EQ(UNUserNotificationCenter::current().lastRequestedOptions(), 7u);
}

TEST_F(UserNotificationsTest, AlertsShowOnlyWhenAllowedWithAVisibleStyle) {
    auto canShow = [&](UNAuthorizationStatus status, UNAlertStyle style) {
        answer(status, style);
        std::promise<bool> shown;
        Notifications::canShowAlerts([&](bool value) { shown.set_value(value); });
        return await(shown.get_future());
    };
    EXPECT_TRUE(canShow(UNAuthorizationStatus::provisional, UNAlertStyle::banner));
    EXPECT_TRUE(canShow(UNAuthorizationStatus::authorized, UNAlertStyle::alert));
    EXPECT_FALSE(canShow(UNAuthorizationStatus::authorized, UNAlertStyle::none));
    EXPECT_FALSE(canShow(UNAuthorizationStatus::denied, UNAlertStyle::banner));
    EXPECT_FALSE(canShow(UNAuthorizationStatus::ephemeral, UNAlertStyle::banner));
}

TEST_F(UserNotificationsTest, EachNotificationIsANewRequestAndDeniedOnesAreDroppedSilently) {
    answer(UNAuthorizationStatus::authorized, UNAlertStyle::banner);
    auto before = UNUserNotificationCenter::current().deliveredRequests().size();
    for (int i = 0; i < 2; ++i) {
        std::promise<std::optional<UNError>> done;
        Notifications::showNotification("Low battery", "Mouse at 5%", [&](std::optional<UNError> e) { done.set_value(e); });
        EXPECT_FALSE(await(done.get_future()));
    }
    auto delivered = UNUserNotificationCenter::current().deliveredRequests();
    ASSERT_EQ(delivered.size(), before + 2);
    EXPECT_NE(delivered[before].identifier, delivered[before + 1].identifier);
    EXPECT_EQ(delivered.back().content.title, "Low battery");
    EXPECT_TRUE(delivered.back().content.defaultSound);

    answer(UNAuthorizationStatus::denied, UNAlertStyle::banner);
    std::atomic<bool> called{false};
    Notifications::showNotification("x", "y", [&](std::optional<UNError>) { called = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(called);
    EXPECT_EQ(UNUserNotificationCenter::current().deliveredRequests().size(), before + 2);
}

TEST(NotificationsObservers, ByNameUntilRemoved) {
    struct Observer {};
    auto observer = std::make_shared<Observer>();
    int calls = 0;
    Notifications::addObserver(observer, [&](const Notification&) { ++calls; }, "WindowResize");
    Notifications::post("WindowResize");
    Notifications::removeObserver(observer, "WindowResize");
    Notifications::post("WindowResize");
    Notifications::removeObserver(std::make_shared<Observer>(), "WindowResize");  // never added
    EXPECT_EQ(calls, 1);
}
