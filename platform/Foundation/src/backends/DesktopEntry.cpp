#include "Foundation/backends/DesktopEntry.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/backends/DesktopKeyFile.hpp"
#include "Foundation/backends/GLibPointers.hpp"
#include "Foundation/backends/ProgramPath.hpp"
#include "Foundation/backends/RegularFile.hpp"
#include "Foundation/backends/XDGDirectories.hpp"

#include <gio/gdesktopappinfo.h>

namespace fs = std::filesystem;

namespace {
constexpr const char* group = G_KEY_FILE_DESKTOP_GROUP;
constexpr std::string_view suffix = ".desktop";

using GLibPointers::Text;

std::optional<std::string> text(GKeyFile* file, const char* key, bool localised = false) {
    Text value(localised ? g_key_file_get_locale_string(file, group, key, nullptr, nullptr)
                          : g_key_file_get_string(file, group, key, nullptr));
    if (!value || !*value) return std::nullopt;
    return std::string(value.get());
}

bool flag(GKeyFile* file, const char* key) { return g_key_file_get_boolean(file, group, key, nullptr); }

bool endsWith(const std::string& name, std::string_view ending) {
    return name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// The first word of a command line, unquoted as desktop entries quote it.
std::optional<std::string> program(const std::string& commandLine) {
    int count = 0;
    char** words = nullptr;
    if (!g_shell_parse_argv(commandLine.c_str(), &count, &words, nullptr)) return std::nullopt;
    GLibPointers::TextList owned(words);
    if (count == 0 || !*words[0]) return std::nullopt;
    return std::string(words[0]);
}

// The version of the first release in AppStream metadata: <releases><release version="..."/>.
struct ReleaseReader {
    bool inReleases = false;
    std::optional<std::string> version;

    static void start(GMarkupParseContext*, const char* element, const char** names, const char** values, void* data, GError**) {
        auto& reader = *static_cast<ReleaseReader*>(data);
        if (std::strcmp(element, "releases") == 0) reader.inReleases = true;
        if (!reader.inReleases || reader.version || std::strcmp(element, "release") != 0) return;
        for (std::size_t i = 0; names[i]; ++i) {
            if (std::strcmp(names[i], "version") == 0 && *values[i]) reader.version = values[i];
        }
    }
    static void end(GMarkupParseContext*, const char* element, void* data, GError**) {
        if (std::strcmp(element, "releases") == 0) static_cast<ReleaseReader*>(data)->inReleases = false;
    }
};

std::optional<std::string> releaseVersion(const std::string& id) {
    for (const auto& folder : XDGDirectories::dataSearchPath()) {
        for (const char* place : {"/metainfo/%s.metainfo.xml", "/metainfo/%s.appdata.xml", "/appdata/%s.appdata.xml"}) {
            Text relative(g_strdup_printf(place, id.c_str()));
            auto contents = RegularFile::contents(FileManager::hostPath(folder + relative.get()), DesktopEntry::maximumMetainfoSize);
            if (!contents) continue;
            ReleaseReader reader;
            GMarkupParser parser{&ReleaseReader::start, &ReleaseReader::end, nullptr, nullptr, nullptr};
            GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &reader, nullptr);
            g_markup_parse_context_parse(context, contents->data(), static_cast<gssize>(contents->size()), nullptr);
            g_markup_parse_context_free(context);
            return reader.version;
        }
    }
    return std::nullopt;
}

// Every entry file below an applications folder, by id, sub-folders joined with "-".
void collect(const std::string& root, const fs::path& folder, std::map<std::string, std::string>& found) {
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(FileManager::hostPath(root) / folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        const fs::path relative = folder / entry.path().filename();
        // Linked folders are not entered: a link back up would repeat every entry below it.
        if (entry.is_directory(error) && !entry.is_symlink(error)) {
            collect(root, relative, found);
        } else if (endsWith(relative.filename().string(), suffix)) {
            std::string id = relative.string();
            std::replace(id.begin(), id.end(), '/', '-');
            id.resize(id.size() - suffix.size());
            found.emplace(id, root + "/" + relative.string());
        }
    }
}

// The first folder's file for each id.
std::map<std::string, std::string> entryFiles() {
    std::map<std::string, std::string> found;
    for (const auto& folder : DesktopEntry::applicationFolders()) collect(folder, {}, found);
    return found;
}
}  // namespace

namespace {
// Entries already read, by file and id, with what they were read from: a file read again only
// when it changed, or when the user's languages did.
struct Reading {
    struct timespec modified {};
    off_t size = 0;
    std::string languages;
    std::optional<DesktopEntry> entry;
};
std::mutex readingsMutex;
std::map<std::string, Reading> readings;

std::string languages() {
    std::string joined;
    for (const char* const* name = g_get_language_names(); *name; ++name) joined += std::string(*name) + ":";
    return joined;
}

std::optional<DesktopEntry> parse(const std::string& path, const std::string& id);
}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const std::string& path, const std::string& id) {
    struct stat status {};
    if (::stat(FileManager::hostPath(path).c_str(), &status) != 0) return std::nullopt;
    const std::string key = standardizingPath(path) + "\n" + id;
    const std::string language = languages();
    {
        std::lock_guard lock(readingsMutex);
        auto found = readings.find(key);
        if (found != readings.end() && found->second.modified.tv_sec == status.st_mtim.tv_sec &&
            found->second.modified.tv_nsec == status.st_mtim.tv_nsec && found->second.size == status.st_size &&
            found->second.languages == language) {
            return found->second.entry;
        }
    }
    auto entry = parse(path, id);
    std::lock_guard lock(readingsMutex);
    readings[key] = Reading{status.st_mtim, status.st_size, language, entry};
    return entry;
}

namespace {
// Whether menus of the desktop in use list the entry, as GLib decides it: NoDisplay, and OnlyShowIn
// and NotShowIn against XDG_CURRENT_DESKTOP. GLib would refuse an entry whose command is not on
// PATH as well; only TryExec decides that here, so the command keys go before GLib judges.
bool shownOnThisDesktop(GKeyFile* file) {
    g_key_file_remove_key(file, group, G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, nullptr);
    g_key_file_remove_key(file, group, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
    GDesktopAppInfo* info = g_desktop_app_info_new_from_keyfile(file);
    if (!info) return false;
    const bool shown = g_app_info_should_show(G_APP_INFO(info));
    g_object_unref(info);
    return shown;
}

std::optional<DesktopEntry> parse(const std::string& path, const std::string& id) {
    auto file = DesktopKeyFile::load(FileManager::hostPath(path));
    if (!file) return std::nullopt;
    if (text(file.get(), G_KEY_FILE_DESKTOP_KEY_TYPE) != G_KEY_FILE_DESKTOP_TYPE_APPLICATION) return std::nullopt;
    auto name = text(file.get(), G_KEY_FILE_DESKTOP_KEY_NAME, true);
    if (!name) return std::nullopt;

    DesktopEntry entry;
    entry.id = id;
    entry.path = standardizingPath(path);
    entry.name = *name;
    entry.exec = text(file.get(), G_KEY_FILE_DESKTOP_KEY_EXEC);
    auto started = text(file.get(), G_KEY_FILE_DESKTOP_KEY_TRY_EXEC);
    if (started) {
        entry.programMissing = !ProgramPath::find(*started);
    } else if (entry.exec) {
        started = program(*entry.exec);
    }
    if (started) entry.executable = ProgramPath::find(*started).value_or(*started);
    entry.icon = text(file.get(), G_KEY_FILE_DESKTOP_KEY_ICON, true);
    entry.hidden = flag(file.get(), G_KEY_FILE_DESKTOP_KEY_HIDDEN);
    GLibPointers::TextList types(g_key_file_get_string_list(file.get(), group, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE, nullptr, nullptr));
    for (char** type = types.get(); type && *type; ++type) entry.mimeTypes.emplace_back(*type);
    entry.version = releaseVersion(id);
    entry.shownOnThisDesktop = shownOnThisDesktop(file.get());
    return entry;
}
}  // namespace

std::optional<DesktopEntry> DesktopEntry::atPath(const std::string& path) {
    const std::string tidy = standardizingPath(path);
    for (const auto& folder : applicationFolders()) {
        if (tidy.rfind(folder + "/", 0) != 0 || !endsWith(tidy, suffix)) continue;
        std::string id = tidy.substr(folder.size() + 1, tidy.size() - folder.size() - 1 - suffix.size());
        std::replace(id.begin(), id.end(), '/', '-');
        return read(tidy, id);
    }
    std::string name = lastPathComponent(tidy);
    if (endsWith(name, suffix)) name.resize(name.size() - suffix.size());
    return read(tidy, name);
}

std::vector<DesktopEntry> DesktopEntry::installed() {
    std::vector<DesktopEntry> entries;
    for (const auto& [id, path] : entryFiles()) {
        auto entry = read(path, id);
        if (entry && !entry->hidden && entry->shownOnThisDesktop && !entry->programMissing) entries.push_back(std::move(*entry));
    }
    return entries;
}

std::optional<DesktopEntry> DesktopEntry::withId(const std::string& id) {
    const auto files = entryFiles();
    auto file = files.find(id);
    return file == files.end() ? std::nullopt : read(file->second, id);
}

std::vector<std::string> DesktopEntry::applicationFolders() {
    std::vector<std::string> folders;
    for (const auto& folder : XDGDirectories::dataSearchPath()) folders.push_back(folder + "/applications");
    return folders;
}
