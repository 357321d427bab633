#pragma once
// The desktop's notification service (org.freedesktop.Notifications) on the session bus.
#include <optional>

#include "UserNotifications/UNUserNotificationCenter.hpp"

namespace desktopnotifications {

/// Shows the request's title and body now, with the default sound when it asks for one; the error
/// of the bus when there is no session bus, no notification service, or the service refuses.
/// Waits for the service's answer.
std::optional<UNError> show(const UNNotificationRequest& request);

}  // namespace desktopnotifications
