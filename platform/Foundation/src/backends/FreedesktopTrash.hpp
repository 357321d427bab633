#pragma once
// The user's trash as freedesktop file managers keep it: $XDG_DATA_HOME/Trash, with the
// items in files/ and, for each, a .trashinfo file in info/ that says where it came from and when
// it was trashed, so that the desktop's file manager can show and restore it.
#include <string>

namespace FreedesktopTrash {

/// The trash folder (a system path).
std::string folder();

/// Moves the item at the system path into the trash; on success the system path it now has, on
/// failure the errno (the item is left where it was and no information file stays behind).
struct Outcome {
    std::string trashedPath;
    int error = 0;
};
Outcome moveToTrash(const std::string& path);

}  // namespace FreedesktopTrash
