#pragma once
// The user the process runs for (home folder and login name) and the path helpers of the
// platform's strings. Both identities are settings: tests and demos choose them; by default they
// are the account's own ($HOME, else the password database).
#include <optional>
#include <string>
#include <vector>

class UserAccount {
public:
    UserAccount() = delete;
    /// Replaces the home folder; an absent value restores the account's own.
    static void setHomeDirectory(const std::optional<std::string>& path);
    /// Replaces the login name; an absent value restores the account's own.
    static void setUserName(const std::optional<std::string>& name);
};

/// The home folder of the process's user.
std::string NSHomeDirectory();
/// The login name of the process's user.
std::string NSUserName();

/// "~" and a leading "~/" stand for the home folder; any other path is returned as it is.
std::string expandingTildeInPath(const std::string& path);
/// The path without "." components, empty components and a trailing "/", with each ".." taking
/// away the component before it (none above the root of an absolute path). An empty path stays
/// empty.
std::string standardizingPath(const std::string& path);
/// The components of a path: "/" first for an absolute path, then each name; a trailing "/" adds
/// nothing.
std::vector<std::string> pathComponents(const std::string& path);
