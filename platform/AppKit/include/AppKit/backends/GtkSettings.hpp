#pragma once
// The user's GTK settings ($XDG_CONFIG_HOME/gtk-3.0/settings.ini, under ~/.config by default; a
// regular file of at most DesktopKeyFile::maximumSize), as far as they tell light from dark
// (desktops without a settings portal keep the choice there) and how far a press moves before it
// is a drag.
#include <optional>

class GtkSettings {
public:
    GtkSettings() = delete;

    /// Whether the settings ask for a dark look: "gtk-application-prefer-dark-theme" is true, or
    /// the theme's name ("gtk-theme-name") ends in "-dark". False without the file.
    static bool prefersDark();
    /// The drag threshold ("gtk-dnd-drag-threshold", from 1), in points: GTK's pixels before the
    /// desktop's scale. None without the file or the setting.
    static std::optional<int> dragThreshold();
};
