#pragma once
// The centre through which the processes of one user notify each other. The user's centre carries
// posts on the session bus, so that every process of the user that observes the name hears them,
// the posting one too, on its main queue; without a session bus its posts reach this process
// alone, on the main queue all the same. A centre made here is a model inside the process: its
// posts reach its observers at once, on the posting thread. Unlike the default centre, the
// sender is a text, and observers that name one match it by value.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class DistributedNotificationBus;

struct DistributedNotification {
    std::string name;
    std::optional<std::string> object;
};

class DistributedNotificationCenter {
public:
    using Callback = std::function<void(const DistributedNotification&)>;

    /// The user's centre, on the session bus.
    static DistributedNotificationCenter& defaultCenter();

    /// A centre of this process alone.
    DistributedNotificationCenter();
    ~DistributedNotificationCenter();
    DistributedNotificationCenter(const DistributedNotificationCenter&) = delete;
    DistributedNotificationCenter& operator=(const DistributedNotificationCenter&) = delete;

    /// Registers `observer` (held weakly) for `name` (any when absent), limited to the sender
    /// text `object` when one is given. Registering twice means being called twice.
    void addObserver(const std::shared_ptr<void>& observer, Callback callback, std::optional<std::string> name,
                     std::optional<std::string> object = std::nullopt);
    /// Removes the observer's registrations for `name` (all when absent) and `object` (any sender
    /// when absent). Removing what was never added does nothing.
    void removeObserver(const std::shared_ptr<void>& observer, const std::optional<std::string>& name = std::nullopt,
                        const std::optional<std::string>& object = std::nullopt);

    /// Delivers to every matching observer: a centre of this process before returning, the user's
    /// centre later on the main queue. A post nobody listens to does nothing.
    void post(const std::string& name, const std::optional<std::string>& object = std::nullopt);

    std::size_t observerCount() const;

private:
    struct OnTheSessionBus {};
    explicit DistributedNotificationCenter(OnTheSessionBus);
    void deliver(const DistributedNotification& notification);

    struct Registration {
        std::weak_ptr<void> observer;
        std::optional<std::string> name;
        std::optional<std::string> object;
        std::shared_ptr<Callback> callback;
        std::shared_ptr<std::atomic<bool>> removed;
    };

    mutable std::mutex mutex_;
    std::vector<Registration> registrations_;
    std::unique_ptr<DistributedNotificationBus> bus_;
};
