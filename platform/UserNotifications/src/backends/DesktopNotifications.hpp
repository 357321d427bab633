#pragma once
// The desktop's notification service (org.freedesktop.Notifications) on the session bus, followed
// from the first notification on (Foundation/backends/BusService.hpp).
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/backends/BusService.hpp"
#include "UserNotifications/UNUserNotificationCenter.hpp"

class DesktopNotifications {
public:
    /// Shows the request's title and body now, with the default sound when it asks for one; the
    /// error of the bus when there is no session bus, no notification service, or the service
    /// refuses. The body is plain text: for a server that reads bodies as markup (it announces
    /// "body-markup") its &, <, > and quotes are written as entities. Waits for the service's
    /// answers; not for the main thread.
    std::optional<UNError> show(const UNNotificationRequest& request);

private:
    /// What the server that owns the service's name said of itself.
    struct Known {
        std::mutex mutex;
        std::string owner;  // its unique name; empty when none is known
        bool readsMarkup = false;
    };

    std::shared_ptr<BusService> server();
    /// Whether the server reads bodies as markup, asked once per server (the unique name that
    /// owns the service's name). `owner` is empty when no server ran: the bus may start one to
    /// answer, and `owner` then names it.
    bool readsMarkup(sdbus::IConnection& connection, BusService& server, std::string& owner);

    std::mutex mutex_;
    std::shared_ptr<BusService> server_;
    std::shared_ptr<Known> known_ = std::make_shared<Known>();
};
