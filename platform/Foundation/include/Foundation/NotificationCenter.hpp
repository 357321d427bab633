#pragma once
// Notification centres: observers register for a name (or any name) and a sender (or any sender)
// and are called in registration order, on the posting thread, when a matching notification is
// posted. Observers are held weakly: one that is gone is skipped and forgotten.
#include <any>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class DispatchQueue;

struct Notification {
    std::string name;
    /// The sender; observers that name a sender match it by identity.
    std::shared_ptr<void> object;
    std::map<std::string, std::any> userInfo;
};

class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    /// The process's default centre.
    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    /// Registers `observer` (held weakly) for `name` (any when absent) from `object` (any when null).
    /// Registering twice means being called twice.
    void addObserver(const std::shared_ptr<void>& observer, Callback callback, std::optional<std::string> name,
                     const std::shared_ptr<void>& object = nullptr);
    /// Registers a block; the centre keeps it until the returned token is removed. With a queue,
    /// the block runs there instead of on the posting thread.
    std::shared_ptr<void> addObserver(std::optional<std::string> name, const std::shared_ptr<void>& object,
                                      DispatchQueue* queue, Callback callback);

    /// Removes the observer's registrations that match `name` (all when absent) and `object`
    /// (all when null). Removing what was never added does nothing.
    void removeObserver(const std::shared_ptr<void>& observer, std::optional<std::string> name = std::nullopt,
                        const std::shared_ptr<void>& object = nullptr);

    void post(const Notification& notification);
    void post(const std::string& name, const std::shared_ptr<void>& object = nullptr,
              std::map<std::string, std::any> userInfo = {});

    std::size_t observerCount() const;

private:
    struct Registration {
        std::weak_ptr<void> observer;
        std::shared_ptr<void> strongToken;  // block registrations only
        std::optional<std::string> name;
        std::weak_ptr<void> object;
        bool anyObject;
        DispatchQueue* queue;
        std::shared_ptr<Callback> callback;
        std::shared_ptr<std::atomic<bool>> removed;
    };

    mutable std::mutex mutex_;
    std::vector<Registration> registrations_;
};
