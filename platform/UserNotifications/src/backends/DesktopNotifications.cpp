#include "backends/DesktopNotifications.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "Foundation/backends/GLibPointers.hpp"

namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* servicePath = "/org/freedesktop/Notifications";
constexpr auto answerTime = std::chrono::seconds(5);

// The text with the characters markup gives a meaning written as entities.
std::string escapedForMarkup(const std::string& text) {
    GLibPointers::Text escaped(g_markup_escape_text(text.data(), static_cast<gssize>(text.size())));
    return escaped.get();
}

}  // namespace

std::shared_ptr<BusService> DesktopNotifications::server() {
    std::lock_guard lock(mutex_);
    if (!server_) {
        // Servers come and go: what one said of itself is forgotten when another owns the name.
        BusService::Client client;
        client.ownerChanged = [known = std::weak_ptr<Known>(known_)](const std::string&) {
            if (auto forget = known.lock()) {
                std::lock_guard lock(forget->mutex);
                forget->owner.clear();
            }
        };
        server_ = BusService::make(BusService::Bus::session, serviceName, DispatchQueue::global(), std::move(client));
    }
    return server_;
}

bool DesktopNotifications::readsMarkup(sdbus::IConnection& connection, BusService& server, std::string& owner) {
    if (!owner.empty()) {
        std::lock_guard lock(known_->mutex);
        if (owner == known_->owner) return known_->readsMarkup;
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
    if (owner.empty()) owner = server.askOwner();  // the one the bus started to answer
    const bool markup = std::find(capabilities.begin(), capabilities.end(), "body-markup") != capabilities.end();
    if (!owner.empty()) {
        std::lock_guard lock(known_->mutex);
        known_->owner = owner;
        known_->readsMarkup = markup;
    }
    return markup;
}

std::optional<UNError> DesktopNotifications::show(const UNNotificationRequest& request) {
    auto notifications = server();
    auto connection = notifications->connection();
    if (!connection) return UNError{"org.freedesktop.DBus.Error.NoServer", 0, "There is no session bus to show notifications on."};
    std::optional<UNError> failure;
    try {
        std::string owner = notifications->askOwner();
        const bool markup = readsMarkup(*connection, *notifications, owner);
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
        failure = UNError{error.getName(), 0, error.getMessage()};
    }
    DBusConnection::wake(*connection);
    return failure;
}
