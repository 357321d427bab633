#pragma once
// The machine's sleep and wake as systemd-logind announces them on the system bus (its
// "PrepareForSleep" signal: true before sleeping, false after waking), posted to the shared
// workspace's notification centre as NSWorkspaceWillSleepNotification and
// NSWorkspaceDidWakeNotification, on the main queue, as the desktop delivers its workspace notices.
//
// The workspace keeps one feed and has it listen whenever its notification centre is used, so that
// every host of the platform hears sleep and wake, an application or a library's.
#include <memory>

class SystemSleepFeed {
public:
    /// A feed that does not listen yet.
    SystemSleepFeed();
    /// Stops listening.
    ~SystemSleepFeed();
    SystemSleepFeed(const SystemSleepFeed&) = delete;
    SystemSleepFeed& operator=(const SystemSleepFeed&) = delete;

    /// Listens on the system bus from now on (only logind's own signal counts, whenever logind
    /// comes), and on the bus the environment names when it has changed. Returns at once: the
    /// bus is joined off the caller's thread (Foundation/backends/BusService.hpp).
    void listen();

    struct Listener;

private:
    std::unique_ptr<Listener> listener_;
};
