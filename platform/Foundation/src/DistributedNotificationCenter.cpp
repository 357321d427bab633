#include "Foundation/DistributedNotificationCenter.hpp"

#include "Foundation/DispatchQueue.hpp"
#include "backends/DistributedNotificationBus.hpp"

namespace {
bool sameObject(const std::weak_ptr<void>& a, const std::shared_ptr<void>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}
}  // namespace

DistributedNotificationCenter& DistributedNotificationCenter::defaultCenter() {
    static DistributedNotificationCenter* center = new DistributedNotificationCenter(OnTheSessionBus{});
    return *center;
}

DistributedNotificationCenter::DistributedNotificationCenter() = default;

DistributedNotificationCenter::DistributedNotificationCenter(OnTheSessionBus)
    : bus_(std::make_unique<DistributedNotificationBus>(
          DispatchQueue::main(), [this](const DistributedNotification& notification) { deliver(notification); })) {}

DistributedNotificationCenter::~DistributedNotificationCenter() = default;

void DistributedNotificationCenter::addObserver(const std::shared_ptr<void>& observer, Callback callback,
                                                std::optional<std::string> name, std::optional<std::string> object) {
    if (!observer || !callback) return;
    if (bus_) bus_->listen();
    std::lock_guard lock(mutex_);
    registrations_.push_back(Registration{observer, std::move(name), std::move(object),
                                          std::make_shared<Callback>(std::move(callback)),
                                          std::make_shared<std::atomic<bool>>(false)});
}

void DistributedNotificationCenter::removeObserver(const std::shared_ptr<void>& observer,
                                                   const std::optional<std::string>& name,
                                                   const std::optional<std::string>& object) {
    if (!observer) return;
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const Registration& r) {
        bool match = sameObject(r.observer, observer) && (!name || r.name == name) && (!object || r.object == object);
        if (match) *r.removed = true;
        return match;
    });
}

void DistributedNotificationCenter::post(const std::string& name, const std::optional<std::string>& object) {
    const DistributedNotification notification{name, object};
    if (!bus_) return deliver(notification);
    bus_->send(notification, [this, notification] { deliver(notification); });
}

void DistributedNotificationCenter::deliver(const DistributedNotification& notification) {
    // Deliver from a snapshot, so that observers may add or remove registrations while called.
    std::vector<Registration> snapshot;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(registrations_, [](const Registration& r) { return r.observer.expired(); });
        snapshot = registrations_;
    }
    for (const auto& r : snapshot) {
        if (*r.removed) continue;
        if (r.name && *r.name != notification.name) continue;
        if (r.object && r.object != notification.object) continue;
        auto alive = r.observer.lock();
        if (!alive) continue;
        (*r.callback)(notification);
    }
}

std::size_t DistributedNotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& r : registrations_) count += r.observer.expired() ? 0 : 1;
    return count;
}
