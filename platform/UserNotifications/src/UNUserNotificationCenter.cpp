#include "UserNotifications/UNUserNotificationCenter.hpp"

#include "Foundation/DispatchQueue.hpp"
#include "backends/DesktopNotifications.hpp"

UNUserNotificationCenter& UNUserNotificationCenter::current() {
    static UNUserNotificationCenter* center = new UNUserNotificationCenter();
    return *center;
}

UNUserNotificationCenter::UNUserNotificationCenter() : desktop_(std::make_shared<DesktopNotifications>()) {}

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
    Deliverer deliverer;
    {
        std::lock_guard lock(mutex_);
        error = model_.addError;
        deliverer = deliverer_ ? deliverer_ : [desktop = desktop_](const UNNotificationRequest& request) { return desktop->show(request); };
    }
    DispatchQueue::global().async([this, request, error, deliverer, completion = std::move(completion)]() mutable {
        if (!error) error = deliverer(request);
        if (!error) {
            std::lock_guard lock(mutex_);
            delivered_.push_back(request);
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

void UNUserNotificationCenter::setDeliverer(Deliverer deliverer) {
    std::lock_guard lock(mutex_);
    deliverer_ = std::move(deliverer);
}

std::optional<UNAuthorizationOptions> UNUserNotificationCenter::lastRequestedOptions() const {
    std::lock_guard lock(mutex_);
    return lastOptions_;
}
