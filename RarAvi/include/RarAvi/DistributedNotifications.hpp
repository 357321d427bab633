#pragma once
// Registering, removing and posting notifications on the user's distributed notification centre,
// through which separate processes of the user talk to each other (over the session bus).
// Senders are texts; observers are called on the main queue.
#include <memory>
#include <optional>
#include <string>

#include "Foundation/DistributedNotificationCenter.hpp"

namespace RarAvi {

class DistributedNotifications {
public:
    DistributedNotifications() = delete;

    /// Registers the observer (held weakly) for `name`, from any sender or only from the sender
    /// text `object`.
    static void addObserver(const std::shared_ptr<void>& observer, DistributedNotificationCenter::Callback selector,
                            const std::string& name, const std::optional<std::string>& object = std::nullopt);
    /// Removes the observer's registrations for `name`, whatever their sender.
    static void removeObserver(const std::shared_ptr<void>& observer, const std::string& name);
    /// Posts at once with the sender text (none when absent) and no user information.
    static void post(const std::string& name, const std::optional<std::string>& object = std::nullopt);
};

}  // namespace RarAvi
