#pragma once
// The machine's sleep and wake as systemd-logind announces them on the system bus (its
// "PrepareForSleep" signal: true before sleeping, false after waking), posted to the shared
// workspace's notification centre as NSWorkspaceWillSleepNotification and
// NSWorkspaceDidWakeNotification, on the main queue, as the desktop delivers its workspace notices.
//
// The application starts one feed when it launches and keeps it while it runs:
//   auto sleepFeed = SystemSleepFeed::start();   // nullptr: no logind, nothing will be posted
#include <memory>

class SystemSleepFeed {
public:
    /// Listens from now on; nullptr when the system bus cannot be reached or logind is not on it.
    /// Waits for a few round trips to the bus daemon.
    static std::unique_ptr<SystemSleepFeed> start();
    /// Stops listening.
    ~SystemSleepFeed();
    SystemSleepFeed(const SystemSleepFeed&) = delete;
    SystemSleepFeed& operator=(const SystemSleepFeed&) = delete;

    struct Listener;

private:
    explicit SystemSleepFeed(std::unique_ptr<Listener> listener);
    std::unique_ptr<Listener> listener_;
};
