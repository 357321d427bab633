#include "backends/IconTheme.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

#include "AppKit/backends/SettingsPortal.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/backends/DesktopKeyFile.hpp"
#include "Foundation/backends/GLibPointers.hpp"
#include "Foundation/backends/XDGDirectories.hpp"

namespace IconTheme {

namespace {
constexpr const char* extensions[] = {".png", ".svg"};

// No icon is drawn larger: a folder whose sizes or threshold lie outside 1 (0 for the threshold)
// to this is skipped.
constexpr std::int64_t largestSize = 65536;

struct Subdirectory {
    std::string path;
    /// The icons in this folder of the theme, by name: the file of the first base folder that has
    /// it, a PNG before an SVG.
    std::map<std::string, std::string> files;
    // Wide enough that sums and differences of any two values and a wanted size stay exact.
    std::int64_t size = 0;
    std::int64_t minSize = 0;
    std::int64_t maxSize = 0;
    std::int64_t threshold = 2;
    enum class Type { fixed, scalable, threshold } type = Type::threshold;

    bool sane() const {
        auto within = [](std::int64_t value, std::int64_t least) { return value >= least && value <= largestSize; };
        return within(size, 1) && within(minSize, 1) && within(maxSize, 1) && within(threshold, 0);
    }
    bool matches(std::int64_t wanted) const {
        switch (type) {
            case Type::fixed: return size == wanted;
            case Type::scalable: return minSize <= wanted && wanted <= maxSize;
            case Type::threshold: return size - threshold <= wanted && wanted <= size + threshold;
        }
        return false;
    }
    std::int64_t distance(std::int64_t wanted) const {
        switch (type) {
            case Type::fixed: return std::abs(size - wanted);
            case Type::scalable:
                return wanted < minSize ? minSize - wanted : wanted > maxSize ? wanted - maxSize : 0;
            case Type::threshold:
                return wanted < size - threshold   ? size - threshold - wanted
                       : wanted > size + threshold ? wanted - size - threshold
                                                   : 0;
        }
        return std::numeric_limits<std::int64_t>::max();
    }
};

struct Theme {
    std::string name;
    std::vector<Subdirectory> subdirectories;
    std::vector<std::string> parents;
};

std::vector<std::string> baseFolders() {
    std::vector<std::string> folders{NSHomeDirectory() + "/.icons"};
    for (const auto& folder : XDGDirectories::dataSearchPath()) folders.push_back(folder + "/icons");
    return folders;
}

bool exists(const std::string& path) { return FileManager::defaultManager().fileExists(path); }

// The icon files of one folder of a theme, over all base folders.
std::map<std::string, std::string> iconFiles(const std::string& theme, const std::string& folder, const std::vector<std::string>& bases) {
    std::map<std::string, std::string> files;
    for (const auto& base : bases) {
        const std::string path = base + "/" + theme + "/" + folder;
        auto names = FileManager::defaultManager().contentsOfDirectory(path);
        if (!names) continue;
        for (const char* extension : extensions) {
            const std::string ending = extension;
            for (const auto& name : *names) {
                if (name.size() <= ending.size() || name.compare(name.size() - ending.size(), ending.size(), ending) != 0) continue;
                files.emplace(name.substr(0, name.size() - ending.size()), path + "/" + name);
            }
        }
    }
    return files;
}

std::optional<std::string> settingOf(const std::string& file, const char* group, const char* key) {
    auto settings = DesktopKeyFile::load(FileManager::hostPath(file));
    if (!settings) return std::nullopt;
    GLibPointers::Text value(g_key_file_get_string(settings.get(), group, key, nullptr));
    if (!value || !*value) return std::nullopt;
    return std::string(value.get());
}

// The theme's index (index.theme of the first base folder that has the theme).
std::optional<Theme> loadTheme(const std::string& name, const std::vector<std::string>& bases) {
    for (const auto& base : bases) {
        // Lists in an index are separated by commas.
        auto index = DesktopKeyFile::load(FileManager::hostPath(base + "/" + name + "/index.theme"), ',');
        if (!index) continue;
        Theme theme;
        theme.name = name;
        GLibPointers::TextList parents(g_key_file_get_string_list(index.get(), "Icon Theme", "Inherits", nullptr, nullptr));
        for (char** parent = parents.get(); parent && *parent; ++parent) theme.parents.emplace_back(*parent);
        GLibPointers::TextList folders(g_key_file_get_string_list(index.get(), "Icon Theme", "Directories", nullptr, nullptr));
        for (char** folder = folders.get(); folder && *folder; ++folder) {
            const char* group = *folder;
            if (!g_key_file_has_group(index.get(), group)) continue;
            auto integer = [&](const char* key, int fallback) {
                GError* error = nullptr;
                const int value = g_key_file_get_integer(index.get(), group, key, &error);
                if (error) g_error_free(error);
                return error ? fallback : value;
            };
            // Folders drawn for a scale above 1 are for screens this lookup does not ask for.
            if (integer("Scale", 1) != 1) continue;
            Subdirectory sub;
            sub.path = group;
            sub.size = integer("Size", 0);
            sub.minSize = integer("MinSize", sub.size);
            sub.maxSize = integer("MaxSize", sub.size);
            sub.threshold = integer("Threshold", 2);
            GLibPointers::Text type(g_key_file_get_string(index.get(), group, "Type", nullptr));
            const std::string kind = type ? type.get() : "Threshold";
            sub.type = kind == "Fixed" ? Subdirectory::Type::fixed : kind == "Scalable" ? Subdirectory::Type::scalable : Subdirectory::Type::threshold;
            if (!sub.sane()) continue;
            sub.files = iconFiles(name, sub.path, bases);
            if (!sub.files.empty()) theme.subdirectories.push_back(std::move(sub));
        }
        return theme;
    }
    return std::nullopt;
}

// The themes in the order they are asked: the user's with everything it inherits (depth first),
// then hicolor, then Adwaita.
std::vector<Theme> themeChain(const std::vector<std::string>& bases, const std::optional<std::string>& chosen) {
    std::vector<Theme> chain;
    std::vector<std::string> seen;
    auto add = [&](auto& self, const std::string& name) -> void {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) return;
        seen.push_back(name);
        auto theme = loadTheme(name, bases);
        if (!theme) return;
        const auto parents = theme->parents;
        chain.push_back(std::move(*theme));
        for (const auto& parent : parents) self(self, parent);
    };
    if (chosen) add(add, *chosen);
    add(add, "hicolor");
    add(add, "Adwaita");
    return chain;
}

std::optional<std::string> lookupIn(const Theme& theme, const std::string& name, int size) {
    for (const auto& sub : theme.subdirectories) {
        if (!sub.matches(size)) continue;
        if (auto file = sub.files.find(name); file != sub.files.end()) return file->second;
    }
    std::optional<std::string> closest;
    auto smallest = std::numeric_limits<std::int64_t>::max();
    for (const auto& sub : theme.subdirectories) {
        const auto distance = sub.distance(size);
        if (distance >= smallest) continue;
        if (auto file = sub.files.find(name); file != sub.files.end()) {
            closest = file->second;
            smallest = distance;
        }
    }
    return closest;
}

// The themes as last read, for the base folders and user theme they were read for. Themes hold
// thousands of folders: they are read again only when those change, or after a few seconds, so
// that icons installed since are found.
struct ReadThemes {
    std::vector<std::string> bases;
    std::optional<std::string> userTheme;
    std::chrono::steady_clock::time_point read;
    std::vector<Theme> chain;
};
std::mutex themesMutex;
ReadThemes readThemes;
constexpr auto themesKeptFor = std::chrono::seconds(5);

// The theme the settings portal names (GNOME keeps it in org.gnome.desktop.interface). Icons may
// be looked up on the main thread, which never waits on the bus: the portal is asked on another
// thread, and its last answer for the session bus of now is used, asked again when it is a few
// seconds old. Until it has answered, the settings files decide.
struct PortalTheme {
    std::mutex mutex;
    std::string bus;
    std::uint64_t asking = 0;  // the number of the asking under way, or 0
    std::uint64_t askings = 0;
    bool answered = false;
    std::chrono::steady_clock::time_point asked;
    std::optional<std::string> theme;
};

PortalTheme& portalTheme() {
    // Outlives the askings still under way when the process ends.
    static auto* answer = new PortalTheme;
    return *answer;
}

std::optional<std::string> themeOfPortal() {
    auto& answer = portalTheme();
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string bus = address ? address : "";
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(answer.mutex);
    if (answer.bus != bus) {
        answer.bus = bus;
        answer.asking = 0;
        answer.answered = false;
        answer.theme.reset();
    }
    if (answer.asking == 0 && (!answer.answered || now - answer.asked > themesKeptFor)) {
        const auto asking = answer.asking = ++answer.askings;
        answer.asked = now;
        DispatchQueue::global().async([asking] {
            auto theme = SettingsPortal::readText("org.gnome.desktop.interface", "icon-theme");
            auto& answer = portalTheme();
            std::lock_guard lock(answer.mutex);
            if (answer.asking != asking) return;  // asked of a bus that has gone since
            answer.asking = 0;
            answer.answered = true;
            answer.theme = theme && !theme->empty() ? theme : std::nullopt;
        });
    }
    return answer.theme;
}
}  // namespace

std::optional<std::string> userTheme() {
    if (auto name = themeOfPortal()) return name;
    const std::string config = XDGDirectories::configHome();
    for (const char* gtk : {"/gtk-4.0/settings.ini", "/gtk-3.0/settings.ini"}) {
        if (auto name = settingOf(config + gtk, "Settings", "gtk-icon-theme-name")) return name;
    }
    return settingOf(config + "/kdeglobals", "Icons", "Theme");
}

std::optional<std::string> lookup(const std::vector<std::string>& names, int size) {
    const auto bases = baseFolders();
    const auto chosen = userTheme();
    {
        std::lock_guard lock(themesMutex);
        const auto now = std::chrono::steady_clock::now();
        if (readThemes.bases != bases || readThemes.userTheme != chosen || now - readThemes.read > themesKeptFor) {
            readThemes = ReadThemes{bases, chosen, now, themeChain(bases, chosen)};
        }
        for (const auto& theme : readThemes.chain) {
            for (const auto& name : names) {
                if (auto file = lookupIn(theme, name, size)) return file;
            }
        }
    }
    // Icons outside any theme.
    for (const auto& name : names) {
        for (const char* extension : extensions) {
            const std::string file = "/usr/share/pixmaps/" + name + extension;
            if (exists(file)) return file;
        }
    }
    return std::nullopt;
}

}  // namespace IconTheme
