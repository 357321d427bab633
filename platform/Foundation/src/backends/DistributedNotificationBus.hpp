#pragma once
// Distributed notifications carried between the processes of one user as signals on the session
// bus: org.quillon.DistributedNotificationCenter.Posted (s name, b has a sender, s sender) from
// the object /org/quillon/DistributedNotificationCenter, which every process posts and hears.
#include <functional>
#include <memory>
#include <mutex>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DistributedNotificationCenter.hpp"

class DistributedNotificationBus {
public:
    /// `receiver` is called on the bus's thread with every notification posted on the bus, by
    /// this process or another, once listen() or send() has found a session bus.
    explicit DistributedNotificationBus(std::function<void(const DistributedNotification&)> receiver);
    ~DistributedNotificationBus();
    DistributedNotificationBus(const DistributedNotificationBus&) = delete;
    DistributedNotificationBus& operator=(const DistributedNotificationBus&) = delete;

    /// Listens on the current session bus, anew when the bus has changed; false without one.
    bool listen();
    /// Posts on the session bus; false when there is none or it cannot be posted there.
    bool send(const DistributedNotification& notification);

private:
    std::function<void(const DistributedNotification&)> receiver_;
    std::mutex mutex_;
    std::shared_ptr<sdbus::IConnection> connection_;
    // Let go of before their connection.
    sdbus::Slot match_;
    std::unique_ptr<sdbus::IObject> sender_;
};
