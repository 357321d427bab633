#include "backends/DistributedNotificationBus.hpp"

#include <string>

#include "Foundation/DispatchQueue.hpp"

namespace {
constexpr const char* objectPath = "/org/quillon/DistributedNotificationCenter";
constexpr const char* interfaceName = "org.quillon.DistributedNotificationCenter";
constexpr const char* signalName = "Posted";
}  // namespace

// The object that sends, made on the connection joined; used on the bus service's thread only.
struct DistributedNotificationBus::Sender {
    std::shared_ptr<sdbus::IConnection> connection;
    std::unique_ptr<sdbus::IObject> object;  // let go of before its connection
};

DistributedNotificationBus::DistributedNotificationBus(DispatchQueue queue,
                                                       std::function<void(const DistributedNotification&)> receiver)
    : receiver_(std::move(receiver)), sender_(std::make_shared<Sender>()), queue_(std::move(queue)) {}

DistributedNotificationBus::~DistributedNotificationBus() {
    std::lock_guard lock(mutex_);
    if (bus_) bus_->perform([sender = std::move(sender_)](const std::shared_ptr<sdbus::IConnection>&) mutable { sender.reset(); });
}

std::shared_ptr<BusService> DistributedNotificationBus::listen() {
    std::lock_guard lock(mutex_);
    if (bus_) {
        bus_->followAddress();
        return bus_;
    }
    BusService::Client client;
    client.matches.emplace_back(
        std::string("type='signal',path='") + objectPath + "',interface='" + interfaceName + "',member='" + signalName + "'",
        [receiver = receiver_](sdbus::Message& message) -> std::function<void()> {
            DistributedNotification notification;
            bool hasObject = false;
            std::string object;
            message >> notification.name >> hasObject >> object;  // arguments of other kinds: not ours
            if (!message) return {};                              // too few arguments
            if (hasObject) notification.object = object;
            return [receiver, notification] { receiver(notification); };
        });
    bus_ = BusService::make(BusService::Bus::session, "", queue_, std::move(client));
    return bus_;
}

void DistributedNotificationBus::send(const DistributedNotification& notification, std::function<void()> otherwise) {
    listen()->perform([sender = sender_, queue = queue_, notification, otherwise = std::move(otherwise)](
                          const std::shared_ptr<sdbus::IConnection>& connection) {
        try {
            if (!connection) throw sdbus::Error("org.freedesktop.DBus.Error.NoServer", "no session bus");
            if (sender->connection != connection) {
                sender->object.reset();
                sender->connection = connection;
                sender->object = sdbus::createObject(*connection, objectPath);
            }
            sender->object->emitSignal(signalName)
                .onInterface(interfaceName)
                .withArguments(notification.name, notification.object.has_value(), notification.object.value_or(""));
        } catch (const sdbus::Error&) {
            if (otherwise) queue.async(otherwise);
        }
    });
}
