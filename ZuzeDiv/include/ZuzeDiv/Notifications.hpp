#pragma once
// Notification-centre observers by name, and local notifications to the user.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/NotificationCenter.hpp"
#include "UserNotifications/UNUserNotificationCenter.hpp"

namespace ZuzeDiv {

class Notifications {
public:
    Notifications() = delete;

    /// The answer to an authorisation request: the granted flag, or the centre's error.
    struct AuthorizationResult {
        bool granted = false;
        std::optional<UNError> error;
        bool succeeded() const { return !error; }
    };

    /// Adds the observer (an object, held weakly) to the default centre for the name, from any
    /// sender or only from `object`.
    static void addObserver(const std::shared_ptr<void>& observer, NotificationCenter::Callback selector,
                            const std::string& name, const std::shared_ptr<void>& object = nullptr);
    static void removeObserver(const std::shared_ptr<void>& observer, const std::string& name);
    static void post(const std::string& name, const std::shared_ptr<void>& object = nullptr);

    /// Asks for badge, sound and alert authorisation; the completion runs on a background queue.
    static void requestAuthorization(std::function<void(AuthorizationResult)> completion = nullptr);
    /// Whether alerts will be visible: authorised or provisional, with the banner or alert style.
    static void canShowAlerts(std::function<void(bool)> completion);
    /// Delivers an immediate notification with the default sound when notifications are allowed;
    /// the completion receives the desktop's error when it cannot take the notification. When
    /// they are not allowed, nothing is delivered and the completion is never called.
    static void showNotification(const std::string& title, const std::string& body,
                                 std::function<void(std::optional<UNError>)> completion = nullptr);
};

}  // namespace ZuzeDiv
