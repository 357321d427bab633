#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "UserNotifications/UNUserNotificationCenter.hpp"

TEST(UNUserNotificationCenter, AnswersFromItsModelOffTheCallingThread) {
    auto& center = UNUserNotificationCenter::current();
    center.setModel({UNNotificationSettings{UNAuthorizationStatus::notDetermined, UNAlertStyle::alert}, false, {}, {}});
    center.setDeliverer([](const UNNotificationRequest&) {});

    std::promise<std::pair<bool, std::thread::id>> answer;
    center.requestAuthorization(7, [&](bool granted, std::optional<UNError>) {
        answer.set_value({granted, std::this_thread::get_id()});
    });
    auto [granted, thread] = answer.get_future().get();
    EXPECT_FALSE(granted);
    EXPECT_NE(thread, std::this_thread::get_id());
    EXPECT_EQ(center.lastRequestedOptions(), 7u);
    EXPECT_EQ(center.model().settings.authorizationStatus, UNAuthorizationStatus::denied);

    center.setModel({});
    center.setDeliverer(nullptr);
}
