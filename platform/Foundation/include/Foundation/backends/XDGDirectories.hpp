#pragma once
// The user's folders where the desktop keeps them: the XDG base directories (data, configuration,
// cache and state homes and the shared data folders) and the XDG user directories named in
// $XDG_CONFIG_HOME/user-dirs.dirs (a regular file of at most 64 KiB). Every call reads the environment afresh; unset or relative
// values give the usual defaults below the home folder (NSHomeDirectory()). Paths are
// system paths, looked up under the system root like every other.
#include <string>
#include <vector>

class XDGDirectories {
public:
    /// The user directories of user-dirs.dirs, each with its default folder name below the home.
    enum class UserDirectory { desktop, documents, download, music, pictures, publicShare, templates, videos };

    XDGDirectories() = delete;

    /// $XDG_DATA_HOME, else ~/.local/share.
    static std::string dataHome();
    /// $XDG_CONFIG_HOME, else ~/.config.
    static std::string configHome();
    /// $XDG_CACHE_HOME, else ~/.cache.
    static std::string cacheHome();
    /// $XDG_STATE_HOME, else ~/.local/state.
    static std::string stateHome();
    /// $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
    static std::vector<std::string> dataDirs();
    /// The data home first, then the shared data folders: where data files are looked for.
    static std::vector<std::string> dataSearchPath();
    /// The folder user-dirs.dirs names ("$HOME/..." or an absolute path), else the home folder
    /// followed by the default name ("Documents", "Downloads", ...).
    static std::string userDirectory(UserDirectory directory);
};
