#include "backends/DesktopNotifications.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <vector>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/backends/GLibPointers.hpp"

namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* servicePath = "/org/freedesktop/Notifications";
// A server that has not said what it can by then is sent the notification all the same, and one
// that has not taken it ten seconds after the asking began is given up on.
constexpr auto capabilitiesTime = std::chrono::seconds(2);
constexpr auto notifyTime = std::chrono::seconds(8);

// The text with the characters markup gives a meaning written as entities.
std::string escapedForMarkup(const std::string& text) {
    GLibPointers::Text escaped(g_markup_escape_text(text.data(), static_cast<gssize>(text.size())));
    return escaped.get();
}

UNError errorOf(const sdbus::Error& error) { return UNError{error.getName(), 0, error.getMessage()}; }

}  // namespace

std::shared_ptr<BusService> DesktopNotifications::server() {
    std::lock_guard lock(mutex_);
    if (!server_) server_ = BusService::make(BusService::Bus::session, serviceName, DispatchQueue("DesktopNotifications"), {});
    return server_;
}

std::optional<UNError> DesktopNotifications::show(const UNNotificationRequest& request) {
    auto notifications = server();
    auto shown = std::make_shared<std::promise<std::optional<UNError>>>();
    auto result = shown->get_future();
    // The server's capabilities are asked first (the bus starts one that it can), and the
    // notification goes to the server that answered, not to whoever owns the name by now. A server
    // that does not say what it can (no such method, another answer, none in time) is sent the
    // body as to one that reads no markup; Notify then tells whether there is a server at all.
    notifications->call(
        {servicePath, serviceName, "GetCapabilities", {}, capabilitiesTime},
        [notifications = std::weak_ptr<BusService>(notifications), request, shown](
            sdbus::MethodReply* reply, const sdbus::Error*) -> std::function<void()> {
            auto server = notifications.lock();
            if (!server) {
                shown->set_value(UNError{"org.freedesktop.DBus.Error.Disconnected", 0, "The notification service is gone."});
                return {};
            }
            std::vector<std::string> capabilities;
            std::string answered;  // the server's unique name, when it answered as documented
            if (reply) {
                try {
                    *reply >> capabilities;
                    answered = reply->getSender();
                } catch (const sdbus::Error&) {
                    capabilities.clear();
                }
            }
            const bool markup = std::find(capabilities.begin(), capabilities.end(), "body-markup") != capabilities.end();
            std::map<std::string, sdbus::Variant> hints;
            if (request.content.defaultSound) hints.emplace("sound-name", sdbus::Variant(std::string("message-new-instant")));
            const auto body = markup ? escapedForMarkup(request.content.body) : request.content.body;
            server->call({servicePath, serviceName, "Notify",
                          [title = request.content.title, body, hints](sdbus::MethodCall& call) {
                              call << ProcessInfo::processInfo().processName() << std::uint32_t{0} << std::string() << title
                                   << body << std::vector<std::string>{} << hints << std::int32_t{-1};
                          },
                          notifyTime, answered},
                         [shown](sdbus::MethodReply*, const sdbus::Error* error) -> std::function<void()> {
                             shown->set_value(error ? std::optional(errorOf(*error)) : std::nullopt);
                             return {};
                         });
            return {};
        });
    return result.get();
}
