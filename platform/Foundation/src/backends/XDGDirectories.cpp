#include "Foundation/backends/XDGDirectories.hpp"

#include <cstdlib>
#include <sstream>

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace {
std::string home() {
    std::string path = NSHomeDirectory();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// An absolute path from the variable; relative ones are ignored, as desktops do.
std::string absoluteVariable(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    if (value && value[0] == '/') return standardizingPath(value);
    return fallback;
}

struct UserDirectoryName {
    const char* key;
    const char* defaultName;
};

UserDirectoryName namesOf(XDGDirectories::UserDirectory directory) {
    using enum XDGDirectories::UserDirectory;
    switch (directory) {
        case desktop: return {"XDG_DESKTOP_DIR", "Desktop"};
        case documents: return {"XDG_DOCUMENTS_DIR", "Documents"};
        case download: return {"XDG_DOWNLOAD_DIR", "Downloads"};
        case music: return {"XDG_MUSIC_DIR", "Music"};
        case pictures: return {"XDG_PICTURES_DIR", "Pictures"};
        case publicShare: return {"XDG_PUBLICSHARE_DIR", "Public"};
        case templates: return {"XDG_TEMPLATES_DIR", "Templates"};
        case videos: return {"XDG_VIDEOS_DIR", "Videos"};
    }
    return {"", ""};
}

// The value of `key` in user-dirs.dirs: a line KEY="$HOME/relative" or KEY="/absolute", with
// backslashes escaping the next character. Absent when the line is missing or malformed.
std::optional<std::string> configuredUserDirectory(const std::string& key) {
    constexpr std::size_t maximumSize = std::size_t{64} << 10;
    auto text = RegularFile::contents(FileManager::hostPath(XDGDirectories::configHome() + "/user-dirs.dirs"), maximumSize);
    std::istringstream file(text.value_or(""));
    std::string line;
    while (std::getline(file, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::size_t at = start + key.size();
        if (line.compare(at, 2, "=\"") != 0) continue;
        at += 2;
        std::string value;
        bool closed = false;
        for (; at < line.size(); ++at) {
            if (line[at] == '\\' && at + 1 < line.size()) {
                value += line[++at];
            } else if (line[at] == '"') {
                closed = true;
                break;
            } else {
                value += line[at];
            }
        }
        if (!closed) return std::nullopt;
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) return standardizingPath(home() + value.substr(5));
        if (!value.empty() && value.front() == '/') return standardizingPath(value);
        return std::nullopt;
    }
    return std::nullopt;
}
}  // namespace

std::string XDGDirectories::dataHome() { return absoluteVariable("XDG_DATA_HOME", home() + "/.local/share"); }

std::string XDGDirectories::configHome() { return absoluteVariable("XDG_CONFIG_HOME", home() + "/.config"); }

std::string XDGDirectories::cacheHome() { return absoluteVariable("XDG_CACHE_HOME", home() + "/.cache"); }

std::string XDGDirectories::stateHome() { return absoluteVariable("XDG_STATE_HOME", home() + "/.local/state"); }

std::vector<std::string> XDGDirectories::dataDirs() {
    std::vector<std::string> folders;
    if (const char* value = std::getenv("XDG_DATA_DIRS")) {
        std::stringstream list(value);
        std::string folder;
        while (std::getline(list, folder, ':')) {
            if (!folder.empty() && folder.front() == '/') folders.push_back(standardizingPath(folder));
        }
    }
    if (folders.empty()) folders = {"/usr/local/share", "/usr/share"};
    return folders;
}

std::vector<std::string> XDGDirectories::dataSearchPath() {
    std::vector<std::string> folders{dataHome()};
    for (auto& folder : dataDirs()) folders.push_back(std::move(folder));
    return folders;
}

std::string XDGDirectories::userDirectory(UserDirectory directory) {
    const auto names = namesOf(directory);
    if (auto configured = configuredUserDirectory(names.key)) return *configured;
    return home() + "/" + names.defaultName;
}
