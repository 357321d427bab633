#include "backends/DistributedNotificationBus.hpp"

#include <string>

#include "Foundation/backends/DBusConnection.hpp"

namespace {
constexpr const char* objectPath = "/org/quillon/DistributedNotificationCenter";
constexpr const char* interfaceName = "org.quillon.DistributedNotificationCenter";
constexpr const char* signalName = "Posted";
}  // namespace

DistributedNotificationBus::DistributedNotificationBus(std::function<void(const DistributedNotification&)> receiver)
    : receiver_(std::move(receiver)) {}

DistributedNotificationBus::~DistributedNotificationBus() {
    std::lock_guard lock(mutex_);
    match_.reset();
    sender_.reset();
}

bool DistributedNotificationBus::listen() {
    auto connection = DBusConnection::session();
    std::lock_guard lock(mutex_);
    if (connection == connection_) return connection != nullptr;
    match_.reset();
    sender_.reset();
    connection_ = connection;
    if (!connection_) return false;
    try {
        match_ = connection_->addMatch(
            std::string("type='signal',path='") + objectPath + "',interface='" + interfaceName + "',member='" + signalName + "'",
            [receiver = receiver_](sdbus::Message& message) {
                DistributedNotification notification;
                bool hasObject = false;
                std::string object;
                try {
                    message >> notification.name >> hasObject >> object;
                } catch (const sdbus::Error&) {
                    return;  // arguments of other kinds: not a notification of ours
                }
                if (!message) return;  // too few arguments
                if (hasObject) notification.object = object;
                receiver(notification);
            });
        sender_ = sdbus::createObject(*connection_, objectPath);
    } catch (const sdbus::Error&) {
        match_.reset();
        sender_.reset();
        connection_.reset();
        return false;
    }
    return true;
}

bool DistributedNotificationBus::send(const DistributedNotification& notification) {
    if (!listen()) return false;
    std::lock_guard lock(mutex_);
    if (!sender_) return false;
    try {
        sender_->emitSignal(signalName)
            .onInterface(interfaceName)
            .withArguments(notification.name, notification.object.has_value(), notification.object.value_or(""));
    } catch (const sdbus::Error&) {
        return false;
    }
    return true;
}
