#pragma once
// The desktop's notification service (org.freedesktop.Notifications) on the session bus, reached
// from the first notification on (Foundation/backends/BusService.hpp).
#include <memory>
#include <mutex>
#include <optional>

#include "Foundation/backends/BusService.hpp"
#include "UserNotifications/UNUserNotificationCenter.hpp"

class DesktopNotifications {
public:
    /// Shows the request's title and body now, with the default sound when it asks for one; the
    /// error of the bus when there is no session bus, no notification service, or the service
    /// refuses. The body is plain text: for a server that reads bodies as markup (it announces
    /// "body-markup") its &, <, > and quotes are written as entities; a server whose capabilities
    /// cannot be read within two seconds is sent the body as one that reads no markup. Waits for
    /// the service's answers, ten seconds at most; not for the main thread.
    std::optional<UNError> show(const UNNotificationRequest& request);

private:
    std::shared_ptr<BusService> server();

    std::mutex mutex_;
    std::shared_ptr<BusService> server_;
};
