#pragma once
// An installed application as the desktop's menus know it: a desktop entry (a ".desktop" file) in
// the applications folder of the data home or of a shared data folder (XDGDirectories), read with
// GLib's key-file reader. Its version comes from the application's AppStream metadata, where it
// has one. Only regular files are read: entries up to DesktopKeyFile::maximumSize bytes, metadata
// up to maximumMetainfoSize.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct DesktopEntry {
    static constexpr std::size_t maximumMetainfoSize = std::size_t{4} << 20;

    /// The desktop file id less its ".desktop" ending ("org.example.Notes"): the application's id.
    std::string id;
    /// The system path of the entry's file.
    std::string path;
    /// Name, in the user's language where the entry has it.
    std::string name;
    /// The command line of Exec, if any.
    std::optional<std::string> exec;
    /// The program the entry starts (TryExec, else Exec's first word), as found on PATH.
    std::optional<std::string> executable;
    /// Icon: a name in the icon theme, or an absolute path.
    std::optional<std::string> icon;
    /// The newest release named in the application's AppStream metadata.
    std::optional<std::string> version;
    /// The MIME types it opens ("x-scheme-handler/<scheme>" for addresses it handles).
    std::vector<std::string> mimeTypes;
    bool hidden = false;
    /// Menus of the desktop in use (XDG_CURRENT_DESKTOP) list it: NoDisplay does not hide it, and
    /// OnlyShowIn and NotShowIn let it show there, as GLib decides.
    bool shownOnThisDesktop = true;
    /// TryExec names a program that is not there to run.
    bool programMissing = false;

    /// The application entry in the file, with the id given; absent when the file cannot be read,
    /// is no application entry or has no name.
    static std::optional<DesktopEntry> read(const std::string& path, const std::string& id);
    /// The entry the file at `path` is, with the id its place in an applications folder gives it
    /// (sub-folders joined with "-"), else its name.
    static std::optional<DesktopEntry> atPath(const std::string& path);
    /// The applications a menu lists, by id: for each id the entry of the first folder that has
    /// it (the data home first), unless that one is hidden, not shown on this desktop or its
    /// program is missing.
    static std::vector<DesktopEntry> installed();
    /// The entry a menu would start for the id (hidden ones included); absent when none has it.
    static std::optional<DesktopEntry> withId(const std::string& id);

    /// The applications folders in the order they are looked in.
    static std::vector<std::string> applicationFolders();
};
