#pragma once
// The desktop's list of recently used files ($XDG_DATA_HOME/recently-used.xbel, a regular file of
// at most 16 MiB), read with GLib's bookmark-file reader: when a file was last used, and when an application last used a file.
#include <optional>
#include <string>

#include "Foundation/Date.hpp"

namespace RecentlyUsedList {

/// When the item at the system path was last used: the list's last visit or change of the file;
/// for an application's desktop entry, the last time the application used any file of the list.
/// Absent when the list does not know it.
std::optional<Date> lastUsed(const std::string& path);

}  // namespace RecentlyUsedList
