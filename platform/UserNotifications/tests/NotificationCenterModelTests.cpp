#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Testing/PrivateBus.hpp"
#include "UserNotifications/UNUserNotificationCenter.hpp"

namespace {
std::optional<UNError> addAndWait(const UNNotificationRequest& request) {
    std::promise<std::optional<UNError>> done;
    UNUserNotificationCenter::current().add(request, [&](std::optional<UNError> error) { done.set_value(error); });
    return done.get_future().get();
}
}  // namespace

TEST(UNUserNotificationCenter, AnswersFromItsModelOffTheCallingThread) {
    auto& center = UNUserNotificationCenter::current();
    center.setModel({UNNotificationSettings{UNAuthorizationStatus::notDetermined, UNAlertStyle::alert}, false, {}, {}});
    center.setDeliverer([](const UNNotificationRequest&) { return std::optional<UNError>(); });

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

// The desktop's notification service shows the request; without one the completion says why, and
// nothing counts as delivered. The body is plain text, also for a server that reads markup.
TEST(UNUserNotificationCenter, DeliversThroughTheSessionBusServiceOrSaysWhyNot) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    auto& center = UNUserNotificationCenter::current();
    const auto before = center.deliveredRequests().size();
    const std::string body = "Level of <i>Tom</i> mouse: 5 &lt; 10";
    const UNNotificationRequest request{"A1", UNMutableNotificationContent{"Low battery", body, true}};
    auto bodySent = [&] {
        return bus.calls("org.freedesktop.Notifications", "/org/freedesktop/Notifications", "Notify").back().at(4).get<std::string>();
    };

    auto error = addAndWait(request);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain, "org.freedesktop.DBus.Error.ServiceUnknown");
    EXPECT_EQ(center.deliveredRequests().size(), before);

    bus.startMock("notification_daemon", "org.freedesktop.Notifications", R"({"capabilities": "body body-markup"})");
    EXPECT_FALSE(addAndWait(request));
    ASSERT_EQ(center.deliveredRequests().size(), before + 1);
    auto calls = bus.calls("org.freedesktop.Notifications", "/org/freedesktop/Notifications", "Notify");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].at(3).get<std::string>(), "Low battery");
    EXPECT_EQ(bodySent(), "Level of &lt;i&gt;Tom&lt;/i&gt; mouse: 5 &amp;lt; 10");

    // Another server, which shows bodies as they are, is asked anew.
    bus.stopMock("org.freedesktop.Notifications");
    bus.startMock("notification_daemon", "org.freedesktop.Notifications", R"({"capabilities": "body"})");
    EXPECT_FALSE(addAndWait(request));
    EXPECT_EQ(bodySent(), body);
}

// A server that does not say what it can (it has no GetCapabilities, answers it with another type,
// or answers after the wait for it) still shows the notification, its body sent as to a server
// that reads no markup.
TEST(UNUserNotificationCenter, ShowsTheNotificationWhenTheServerDoesNotSayWhatItCan) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    constexpr const char* name = "org.freedesktop.Notifications";
    constexpr const char* path = "/org/freedesktop/Notifications";
    bus.startObjectMock(name, path, name);
    bus.addMethod(name, path, name, "Notify", "susssasa{sv}i", "u", "ret = 1");
    const std::string body = "Level of <i>Tom</i> mouse: 5 &lt; 10";
    const UNNotificationRequest request{"A2", UNMutableNotificationContent{"Low battery", body, false}};
    auto& center = UNUserNotificationCenter::current();
    const auto before = center.deliveredRequests().size();

    EXPECT_EQ(addAndWait(request), std::nullopt);
    for (const auto& [type, answer] : {std::pair{"s", "ret = 'body-markup'"}, {"as", "time.sleep(6); ret = ['body-markup']"}}) {
        SCOPED_TRACE(answer);
        bus.addMethod(name, path, name, "GetCapabilities", "", type, answer);
        EXPECT_EQ(addAndWait(request), std::nullopt);
    }
    EXPECT_EQ(center.deliveredRequests().size(), before + 3);
    auto calls = bus.calls(name, path, "Notify");
    ASSERT_EQ(calls.size(), 3u);
    for (const auto& call : calls) EXPECT_EQ(call.at(4).get<std::string>(), body);
}
