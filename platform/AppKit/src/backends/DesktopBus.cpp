#include "backends/DesktopBus.hpp"

#include <algorithm>
#include <chrono>
#include <vector>

#include "Foundation/backends/DBusConnection.hpp"

namespace DesktopBus {

bool canReach(sdbus::IConnection& connection, const std::string& name) {
    if (DBusConnection::hasOwner(connection, name)) return true;
    try {
        std::vector<std::string> names;
        auto daemon = sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("ListActivatableNames")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(std::chrono::seconds(2))
            .storeResultsTo(names);
        return std::find(names.begin(), names.end(), name) != names.end();
    } catch (const sdbus::Error&) {
        return false;
    }
}

}  // namespace DesktopBus
