#include "Foundation/PathUtilities.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace {
std::mutex accountMutex;
std::optional<std::string> homeSetting;
std::optional<std::string> nameSetting;

const passwd* accountEntry() { return ::getpwuid(::getuid()); }
}  // namespace

void UserAccount::setHomeDirectory(const std::optional<std::string>& path) {
    std::lock_guard lock(accountMutex);
    homeSetting = path;
}

void UserAccount::setUserName(const std::optional<std::string>& name) {
    std::lock_guard lock(accountMutex);
    nameSetting = name;
}

std::string NSHomeDirectory() {
    {
        std::lock_guard lock(accountMutex);
        if (homeSetting) return *homeSetting;
    }
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = accountEntry(); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

std::string NSUserName() {
    {
        std::lock_guard lock(accountMutex);
        if (nameSetting) return *nameSetting;
    }
    if (const passwd* entry = accountEntry(); entry && entry->pw_name) return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "";
}

std::string expandingTildeInPath(const std::string& path) {
    if (path == "~") return NSHomeDirectory();
    if (path.rfind("~/", 0) == 0) {
        std::string home = NSHomeDirectory();
        if (!home.empty() && home.back() == '/') home.pop_back();
        return home + path.substr(1);
    }
    return path;
}

std::vector<std::string> pathComponents(const std::string& path) {
    std::vector<std::string> components;
    if (!path.empty() && path.front() == '/') components.emplace_back("/");
    std::size_t start = 0;
    while (start <= path.size()) {
        auto slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) components.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return components;
}

std::string standardizingPath(const std::string& path) {
    if (path.empty()) return path;
    const bool absolute = path.front() == '/';
    std::vector<std::string> kept;
    for (const auto& component : pathComponents(path)) {
        if (component == "/" || component == ".") continue;
        if (component == "..") {
            if (!kept.empty() && kept.back() != "..") {
                kept.pop_back();
            } else if (!absolute) {
                kept.push_back(component);
            }
            continue;
        }
        kept.push_back(component);
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += '/';
        result += kept[i];
    }
    return result.empty() ? "." : result;
}
