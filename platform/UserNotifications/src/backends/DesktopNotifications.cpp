#include "backends/DesktopNotifications.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "Foundation/backends/GLibPointers.hpp"

namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* servicePath = "/org/freedesktop/Notifications";
constexpr auto answerTime = std::chrono::seconds(5);

// The unique name of the server that owns the service's name; empty when none runs.
std::string ownerOf(sdbus::IConnection& connection) {
    try {
        std::string owner;
        sdbus::createProxy(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus")
            ->callMethod("GetNameOwner")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(answerTime)
            .withArguments(std::string(serviceName))
            .storeResultsTo(owner);
        return owner;
    } catch (const sdbus::Error&) {
        return {};
    }
}

// The text with the characters markup gives a meaning written as entities.
std::string escapedForMarkup(const std::string& text) {
    GLibPointers::Text escaped(g_markup_escape_text(text.data(), static_cast<gssize>(text.size())));
    return escaped.get();
}

}  // namespace

bool DesktopNotifications::readsMarkup(sdbus::IConnection& connection, std::string& owner) {
    if (!owner.empty()) {
        std::lock_guard lock(mutex_);
        if (owner == knownOwner_) return knownReadsMarkup_;
    }
    std::vector<std::string> capabilities;
    try {
        sdbus::createProxy(connection, owner.empty() ? serviceName : owner, servicePath)
            ->callMethod("GetCapabilities")
            .onInterface(serviceName)
            .withTimeout(answerTime)
            .storeResultsTo(capabilities);
    } catch (const sdbus::Error&) {
        return false;  // no server, or one that does not say: Notify tells what went wrong
    }
    if (owner.empty()) owner = ownerOf(connection);
    const bool markup = std::find(capabilities.begin(), capabilities.end(), "body-markup") != capabilities.end();
    if (!owner.empty()) {
        std::lock_guard lock(mutex_);
        knownOwner_ = owner;
        knownReadsMarkup_ = markup;
    }
    return markup;
}

std::optional<UNError> DesktopNotifications::show(const UNNotificationRequest& request) {
    auto connection = DBusConnection::session();
    if (!connection) return UNError{"org.freedesktop.DBus.Error.NoServer", 0, "There is no session bus to show notifications on."};
    try {
        std::string owner = ownerOf(*connection);
        const bool markup = readsMarkup(*connection, owner);
        std::map<std::string, sdbus::Variant> hints;
        if (request.content.defaultSound) hints.emplace("sound-name", sdbus::Variant(std::string("message-new-instant")));
        std::uint32_t id = 0;
        // Sent to the server whose capabilities were read, not to whoever owns the name by now.
        sdbus::createProxy(*connection, owner.empty() ? serviceName : owner, servicePath)
            ->callMethod("Notify")
            .onInterface(serviceName)
            .withTimeout(answerTime)
            .withArguments(ProcessInfo::processInfo().processName(), std::uint32_t{0}, std::string(), request.content.title,
                           markup ? escapedForMarkup(request.content.body) : request.content.body,
                           std::vector<std::string>{}, hints, std::int32_t{-1})
            .storeResultsTo(id);
    } catch (const sdbus::Error& error) {
        return UNError{error.getName(), 0, error.getMessage()};
    }
    return std::nullopt;
}
