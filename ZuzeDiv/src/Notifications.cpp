#include "ZuzeDiv/Notifications.hpp"

#include "Foundation/UUID.hpp"

namespace ZuzeDiv {

namespace {
bool allowed(UNAuthorizationStatus status) {
    return status == UNAuthorizationStatus::authorized || status == UNAuthorizationStatus::provisional;
}
}  // namespace

void Notifications::addObserver(const std::shared_ptr<void>& observer, NotificationCenter::Callback selector,
                                const std::string& name, const std::shared_ptr<void>& object) {
    NotificationCenter::defaultCenter().addObserver(observer, std::move(selector), name, object);
}

void Notifications::removeObserver(const std::shared_ptr<void>& observer, const std::string& name) {
    NotificationCenter::defaultCenter().removeObserver(observer, name);
}

void Notifications::post(const std::string& name, const std::shared_ptr<void>& object) {
    NotificationCenter::defaultCenter().post(name, object);
}

void Notifications::requestAuthorization(std::function<void(AuthorizationResult)> completion) {
    UNUserNotificationCenter::current().requestAuthorization(
        UNAuthorizationOptionBadge | UNAuthorizationOptionSound | UNAuthorizationOptionAlert,
        [completion = std::move(completion)](bool granted, std::optional<UNError> error) {
            if (!completion) return;
            if (error) {
                completion(AuthorizationResult{false, std::move(error)});
            } else {
                completion(AuthorizationResult{granted, std::nullopt});
            }
        });
}

void Notifications::canShowAlerts(std::function<void(bool)> completion) {
    UNUserNotificationCenter::current().getNotificationSettings([completion = std::move(completion)](UNNotificationSettings settings) {
        if (!completion) return;
        completion(allowed(settings.authorizationStatus) &&
                   (settings.alertStyle == UNAlertStyle::banner || settings.alertStyle == UNAlertStyle::alert));
    });
}

void Notifications::showNotification(const std::string& title, const std::string& body,
                                     std::function<void(std::optional<UNError>)> completion) {
    auto& center = UNUserNotificationCenter::current();
    center.getNotificationSettings([&center, title, body, completion = std::move(completion)](UNNotificationSettings settings) {
        // A notification that may not be shown is dropped silently.
        if (!allowed(settings.authorizationStatus)) return;
        UNNotificationRequest request{UUID().uuidString(), UNMutableNotificationContent{title, body, true}};
        center.add(request, completion);
    });
}

}  // namespace ZuzeDiv
