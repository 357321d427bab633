#pragma once
// Icons by name from the desktop's icon themes, as freedesktop desktops look them up: the user's
// theme with the themes it inherits, then hicolor, then Adwaita, each searched in ~/.icons, the
// data folders' "icons" and, last, /usr/share/pixmaps. PNG and SVG files are taken. The user's
// theme is the one the settings portal names (GNOME's "icon-theme" setting), else the one of the
// GTK or KDE settings files.
#include <optional>
#include <string>
#include <vector>

namespace IconTheme {

/// The file of the first name that some theme has, the themes taken in order and, within one,
/// the names in order; the file drawn closest to `size` pixels. Absent when none has any.
std::optional<std::string> lookup(const std::vector<std::string>& names, int size);

/// The icon theme the user chose; absent when the settings name none. Never waits on the bus: the
/// portal's answer comes in on another thread, and the settings files decide until it has.
std::optional<std::string> userTheme();

}  // namespace IconTheme
