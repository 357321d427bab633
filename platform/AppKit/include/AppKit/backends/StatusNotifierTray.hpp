#pragma once
// The desktop's tray, reached through the StatusNotifierItem protocol on the session bus: each
// item of the system status bar is exported under a bus name of its own
// (org.kde.StatusNotifierItem-<pid>-<n>, the item at /StatusNotifierItem with its menu as
// com.canonical.dbusmenu), registered by that name with the desktop's
// org.kde.StatusNotifierWatcher, brought up to date on every pass of the main loop, and taken away
// with its name when it leaves the bar. Without a session bus or a watcher the items stay in the
// bar only; a watcher that comes later gets them then, and a session bus that comes back gets
// them again. The main thread only copies what the items show: the bus is joined, and the items
// are exported and told of changes, on a thread of the tray's own.
class StatusNotifierTray {
public:
    /// Follows the system status bar from now on; the bar starts it with its first item.
    static void start();

    StatusNotifierTray() = delete;
};
