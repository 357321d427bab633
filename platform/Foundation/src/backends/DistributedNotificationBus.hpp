#pragma once
// Distributed notifications carried between the processes of one user as signals on the session
// bus: org.quillon.DistributedNotificationCenter.Posted (s name, b has a sender, s sender) from
// the object /org/quillon/DistributedNotificationCenter, which every process posts and hears. The
// bus is joined, and posts are sent, off the caller's thread (Foundation/backends/BusService.hpp).
#include <functional>
#include <memory>
#include <mutex>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/DistributedNotificationCenter.hpp"
#include "Foundation/backends/BusService.hpp"

class DistributedNotificationBus {
public:
    /// `receiver` is called on `queue` (a serial one), in the order they were posted, with every
    /// notification posted on the bus, by this process or another, once listen() or send() has
    /// joined a session bus.
    DistributedNotificationBus(DispatchQueue queue, std::function<void(const DistributedNotification&)> receiver);
    ~DistributedNotificationBus();
    DistributedNotificationBus(const DistributedNotificationBus&) = delete;
    DistributedNotificationBus& operator=(const DistributedNotificationBus&) = delete;

    /// Listens on the session bus from now on, and on the bus the environment names when it has
    /// changed. Returns at once.
    std::shared_ptr<BusService> listen();
    /// Posts on the session bus and returns at once; where there is none, or the post cannot go
    /// out there, `otherwise` is called on the receiver's queue.
    void send(const DistributedNotification& notification, std::function<void()> otherwise);

private:
    struct Sender;

    std::function<void(const DistributedNotification&)> receiver_;
    std::shared_ptr<Sender> sender_;
    const DispatchQueue queue_;  // the receiver's
    std::mutex mutex_;
    std::shared_ptr<BusService> bus_;
};
