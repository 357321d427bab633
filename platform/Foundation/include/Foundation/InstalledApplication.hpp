#pragma once
// An application installed on this machine as the desktop's menus list it (a desktop entry in an
// applications folder), with what a caller shows of it and where its files are.
#include <optional>
#include <string>
#include <vector>

struct InstalledApplication {
    /// The application's id ("org.example.Notes").
    std::string identifier;
    /// Its name, in the user's language where it has one.
    std::string name;
    /// The system path of the file that describes it; the workspace's icon for this file is the
    /// application's.
    std::string path;
    /// The program it starts, as found on PATH.
    std::optional<std::string> program;
    /// Its newest release, where its metadata names one.
    std::optional<std::string> version;

    /// The applications the desktop's menus list.
    static std::vector<InstalledApplication> all();
    /// The application the file at the path describes; none when it describes none.
    static std::optional<InstalledApplication> atPath(const std::string& path);
};
