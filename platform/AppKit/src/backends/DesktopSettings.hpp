#pragma once
// The desktop's own settings application, opened at the page that a system-settings address
// ("x-apple.systempreferences:<pane>?<anchor>") names: GNOME Settings started over the session
// bus (org.freedesktop.Application's "launch-panel" action), KDE's System Settings at a module,
// or, on other desktops, the handler of "settings:" addresses through xdg-open.
#include "Foundation/URL.hpp"

namespace DesktopSettings {

/// Whether the address is a system-settings address.
bool isSettingsAddress(const URL& address);
/// Opens the page; false when the desktop has no settings application to open it with. GNOME
/// Settings is asked on another thread (whether it can be reached is the bus daemon's to say), so
/// on GNOME the answer is true at once; where it cannot be reached, the other ways are tried then.
bool open(const URL& address);

}  // namespace DesktopSettings
