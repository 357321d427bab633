#include "Foundation/NotificationCenter.hpp"

#include "Foundation/DispatchQueue.hpp"

namespace {
bool sameObject(const std::weak_ptr<void>& a, const std::shared_ptr<void>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}
struct ObserverToken {};
}  // namespace

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter();
    return *center;
}

void NotificationCenter::addObserver(const std::shared_ptr<void>& observer, Callback callback,
                                     std::optional<std::string> name, const std::shared_ptr<void>& object) {
    if (!observer || !callback) return;
    std::lock_guard lock(mutex_);
    registrations_.push_back(Registration{observer, nullptr, std::move(name), object, object == nullptr, nullptr,
                                          std::make_shared<Callback>(std::move(callback)),
                                          std::make_shared<std::atomic<bool>>(false)});
}

std::shared_ptr<void> NotificationCenter::addObserver(std::optional<std::string> name,
                                                      const std::shared_ptr<void>& object, DispatchQueue* queue,
                                                      Callback callback) {
    auto token = std::make_shared<ObserverToken>();
    std::lock_guard lock(mutex_);
    registrations_.push_back(Registration{token, token, std::move(name), object, object == nullptr, queue,
                                          std::make_shared<Callback>(std::move(callback)),
                                          std::make_shared<std::atomic<bool>>(false)});
    return token;
}

void NotificationCenter::removeObserver(const std::shared_ptr<void>& observer, std::optional<std::string> name,
                                        const std::shared_ptr<void>& object) {
    if (!observer) return;
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const Registration& r) {
        bool match = sameObject(r.observer, observer) && (!name || r.name == name) &&
                     (!object || (!r.anyObject && sameObject(r.object, object)));
        if (match) *r.removed = true;
        return match;
    });
}

void NotificationCenter::post(const Notification& notification) {
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
        if (!r.anyObject && (!notification.object || !sameObject(r.object, notification.object))) continue;
        auto alive = r.observer.lock();
        if (!alive) continue;
        if (r.queue) {
            r.queue->async([callback = r.callback, removed = r.removed, notification] {
                if (!*removed) (*callback)(notification);
            });
        } else {
            (*r.callback)(notification);
        }
    }
}

void NotificationCenter::post(const std::string& name, const std::shared_ptr<void>& object,
                              std::map<std::string, std::any> userInfo) {
    post(Notification{name, object, std::move(userInfo)});
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& r : registrations_) count += r.observer.expired() ? 0 : 1;
    return count;
}
