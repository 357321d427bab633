#include "UserNotifications/UNUserNotificationCenter.hpp"

#include <sdbus-c++/sdbus-c++.h>

#include <map>

#include "Foundation/DispatchQueue.hpp"

namespace {
// Hands a notification to the freedesktop notification service; silently nothing without one.
void deliverToDesktop(const UNNotificationRequest& request) {
    try {
        auto connection = sdbus::createSessionBusConnection();
        auto proxy = sdbus::createProxy(*connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications");
        std::map<std::string, sdbus::Variant> hints;
        if (request.content.defaultSound) hints.emplace("sound-name", sdbus::Variant(std::string("message-new-instant")));
        std::uint32_t id = 0;
        proxy->callMethod("Notify")
            .onInterface("org.freedesktop.Notifications")
            .withTimeout(std::chrono::seconds(2))
            .withArguments(std::string("Quillon"), std::uint32_t{0}, std::string(), request.content.title,
                           request.content.body, std::vector<std::string>{}, hints, std::int32_t{-1})
            .storeResultsTo(id);
    } catch (const sdbus::Error&) {
        // No session bus or no notification service: the request stays recorded only.
    }
}
}  // namespace

UNUserNotificationCenter& UNUserNotificationCenter::current() {
    static UNUserNotificationCenter* center = new UNUserNotificationCenter();
    return *center;
}

void UNUserNotificationCenter::requestAuthorization(UNAuthorizationOptions options,
                                                    std::function<void(bool, std::optional<UNError>)> completion) {
    Model model;
    {
        std::lock_guard lock(mutex_);
        lastOptions_ = options;
        if (!model_.authorizationError && model_.settings.authorizationStatus == UNAuthorizationStatus::notDetermined)
            model_.settings.authorizationStatus =
                model_.grantsAuthorization ? UNAuthorizationStatus::authorized : UNAuthorizationStatus::denied;
        model = model_;
    }
    if (!completion) return;
    DispatchQueue::global().async([completion = std::move(completion), model] {
        completion(model.grantsAuthorization, model.authorizationError);
    });
}

void UNUserNotificationCenter::getNotificationSettings(std::function<void(UNNotificationSettings)> completion) {
    if (!completion) return;
    auto settings = model().settings;
    DispatchQueue::global().async([completion = std::move(completion), settings] { completion(settings); });
}

void UNUserNotificationCenter::add(const UNNotificationRequest& request,
                                   std::function<void(std::optional<UNError>)> completion) {
    std::optional<UNError> error;
    std::function<void(const UNNotificationRequest&)> deliverer;
    {
        std::lock_guard lock(mutex_);
        error = model_.addError;
        if (!error) delivered_.push_back(request);
        deliverer = deliverer_;
    }
    DispatchQueue::global().async([request, error, deliverer, completion = std::move(completion)] {
        if (!error) {
            if (deliverer) {
                deliverer(request);
            } else {
                deliverToDesktop(request);
            }
        }
        if (completion) completion(error);
    });
}

void UNUserNotificationCenter::setModel(const Model& model) {
    std::lock_guard lock(mutex_);
    model_ = model;
}

UNUserNotificationCenter::Model UNUserNotificationCenter::model() const {
    std::lock_guard lock(mutex_);
    return model_;
}

std::vector<UNNotificationRequest> UNUserNotificationCenter::deliveredRequests() const {
    std::lock_guard lock(mutex_);
    return delivered_;
}

void UNUserNotificationCenter::setDeliverer(std::function<void(const UNNotificationRequest&)> deliverer) {
    std::lock_guard lock(mutex_);
    deliverer_ = std::move(deliverer);
}

std::optional<UNAuthorizationOptions> UNUserNotificationCenter::lastRequestedOptions() const {
    std::lock_guard lock(mutex_);
    return lastOptions_;
}
