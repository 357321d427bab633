#pragma once
// The desktop's appearance preferences as the settings portal on the session bus tells them
// (org.freedesktop.portal.Settings, namespace "org.freedesktop.appearance"): "color-scheme" (1 dark,
// 2 light, 0 or anything else no preference) and "accent-color" (red, green and blue from 0 to 1;
// unset when out of range). Read with ReadOne, or with Read from portals older than it, without
// waiting: the answers come like changes do. Followed through the portal's own SettingChanged
// signal (another client's, also one sent to this process alone, is not heard), each change handed
// over on the main queue. A portal that starts later or again, and the portal
// of a session bus that comes back, are read the same way. The session bus is joined off the main
// thread (Foundation/backends/BusService.hpp): until the portal answers, the preferences are none.
//
//   auto portal = SettingsPortal::start([](const SettingsPortal::Preferences& p) { ... });
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGColor.hpp"

class SettingsPortal {
public:
    struct Preferences {
        /// True for dark, false for light; none where the desktop has no preference.
        std::optional<bool> prefersDark;
        std::optional<CGColor> accentColor;
        bool operator==(const Preferences&) const = default;
    };

    /// Asks for the preferences and returns at once; from then on hands the portal's answers and
    /// every change to `changed` on the main queue while the object lives. Nothing is handed over
    /// where no session bus or no portal answers.
    static std::unique_ptr<SettingsPortal> start(std::function<void(const Preferences&)> changed);
    ~SettingsPortal();
    SettingsPortal(const SettingsPortal&) = delete;
    SettingsPortal& operator=(const SettingsPortal&) = delete;

    /// The preferences as last heard of; none before the portal has answered.
    Preferences preferences() const;

    /// A text setting of another namespace (GNOME's icon theme is "org.gnome.desktop.interface",
    /// "icon-theme"), waiting for the portal's answer: for use off the main thread. None when no
    /// portal answers, it has no such key or the value is no text.
    static std::optional<std::string> readText(const std::string& space, const std::string& key);

    struct Connection;

private:
    explicit SettingsPortal(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> connection_;
};
