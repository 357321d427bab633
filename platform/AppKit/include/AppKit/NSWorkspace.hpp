#pragma once
// The desktop: opening addresses in the user's browser, and the workspace's own notifications.
#include <functional>
#include <string>

#include "Foundation/NotificationCenter.hpp"
#include "Foundation/URL.hpp"

class NSWorkspace {
public:
    static NSWorkspace& shared();

    /// Opens the address with the desktop's handler (xdg-open unless an opener is set);
    /// returns whether it could be handed over.
    bool open(const URL& url);
    /// Replaces how addresses are opened (tests record them); nullptr restores xdg-open.
    void setURLOpener(std::function<bool(const URL&)> opener);

    /// Sleep and wake notices of the machine ("NSWorkspaceWillSleepNotification", ...).
    NotificationCenter& notificationCenter() { return notificationCenter_; }

private:
    NSWorkspace() = default;
    std::function<bool(const URL&)> opener_;
    NotificationCenter notificationCenter_;
};

inline const char* const NSWorkspaceWillSleepNotification = "NSWorkspaceWillSleepNotification";
inline const char* const NSWorkspaceDidWakeNotification = "NSWorkspaceDidWakeNotification";
