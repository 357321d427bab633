#pragma once
// The user's GTK settings ($XDG_CONFIG_HOME/gtk-3.0/settings.ini, under ~/.config by default; a
// regular file of at most DesktopKeyFile::maximumSize), as far as they tell light from dark:
// desktops without a settings portal keep the choice there.
class GtkSettings {
public:
    GtkSettings() = delete;

    /// Whether the settings ask for a dark look: "gtk-application-prefer-dark-theme" is true, or
    /// the theme's name ("gtk-theme-name") ends in "-dark". False without the file.
    static bool prefersDark();
};
