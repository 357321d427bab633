#pragma once
// Local notifications: authorisation, settings and delivery of notification requests. The
// permission state is a model of our own (Linux asks no permission); requests go to the desktop's
// notification service on the session bus (org.freedesktop.Notifications), and a request it could
// not take completes with the error why. Completions run on a background queue.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class UNAuthorizationStatus { notDetermined = 0, denied = 1, authorized = 2, provisional = 3, ephemeral = 4 };
enum class UNAlertStyle { none = 0, banner = 1, alert = 2 };

using UNAuthorizationOptions = std::uint32_t;
inline constexpr UNAuthorizationOptions UNAuthorizationOptionBadge = 1;
inline constexpr UNAuthorizationOptions UNAuthorizationOptionSound = 2;
inline constexpr UNAuthorizationOptions UNAuthorizationOptionAlert = 4;

struct UNError {
    std::string domain;
    int code = 0;
    std::string localizedDescription;
    bool operator==(const UNError&) const = default;
};

struct UNNotificationSettings {
    UNAuthorizationStatus authorizationStatus = UNAuthorizationStatus::notDetermined;
    UNAlertStyle alertStyle = UNAlertStyle::none;
};

struct UNMutableNotificationContent {
    std::string title;
    std::string body;
    bool defaultSound = false;
};

class DesktopNotifications;

struct UNNotificationRequest {
    std::string identifier;
    UNMutableNotificationContent content;  // no trigger: delivered at once
};

class UNUserNotificationCenter {
public:
    /// What the centre answers; tests and demos set it.
    struct Model {
        UNNotificationSettings settings{UNAuthorizationStatus::authorized, UNAlertStyle::banner};
        bool grantsAuthorization = true;
        std::optional<UNError> authorizationError;
        std::optional<UNError> addError;
    };

    static UNUserNotificationCenter& current();

    void requestAuthorization(UNAuthorizationOptions options,
                              std::function<void(bool granted, std::optional<UNError> error)> completion);
    void getNotificationSettings(std::function<void(UNNotificationSettings)> completion);
    void add(const UNNotificationRequest& request, std::function<void(std::optional<UNError>)> completion);

    void setModel(const Model& model);
    Model model() const;
    /// Hands a request over to the desktop: no error once it has taken it.
    using Deliverer = std::function<std::optional<UNError>(const UNNotificationRequest&)>;

    /// Every request the desktop has taken so far, in order.
    std::vector<UNNotificationRequest> deliveredRequests() const;
    /// Replaces the hand-over to the desktop (nullptr restores the session-bus service).
    void setDeliverer(Deliverer deliverer);
    /// The options of the last authorisation request.
    std::optional<UNAuthorizationOptions> lastRequestedOptions() const;

private:
    UNUserNotificationCenter();

    mutable std::mutex mutex_;
    std::shared_ptr<DesktopNotifications> desktop_;
    Model model_;
    std::vector<UNNotificationRequest> delivered_;
    Deliverer deliverer_;
    std::optional<UNAuthorizationOptions> lastOptions_;
};
