#include "backends/DesktopNotifications.hpp"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace desktopnotifications {

std::optional<UNError> show(const UNNotificationRequest& request) {
    auto connection = DBusConnection::session();
    if (!connection) return UNError{"org.freedesktop.DBus.Error.NoServer", 0, "There is no session bus to show notifications on."};
    try {
        auto proxy = sdbus::createProxy(*connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications");
        std::map<std::string, sdbus::Variant> hints;
        if (request.content.defaultSound) hints.emplace("sound-name", sdbus::Variant(std::string("message-new-instant")));
        std::uint32_t id = 0;
        proxy->callMethod("Notify")
            .onInterface("org.freedesktop.Notifications")
            .withTimeout(std::chrono::seconds(5))
            .withArguments(ProcessInfo::processInfo().processName(), std::uint32_t{0}, std::string(), request.content.title,
                           request.content.body, std::vector<std::string>{}, hints, std::int32_t{-1})
            .storeResultsTo(id);
    } catch (const sdbus::Error& error) {
        return UNError{error.getName(), 0, error.getMessage()};
    }
    return std::nullopt;
}

}  // namespace desktopnotifications
