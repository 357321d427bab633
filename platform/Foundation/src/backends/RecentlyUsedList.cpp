#include "backends/RecentlyUsedList.hpp"

#include <memory>

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "Foundation/backends/RegularFile.hpp"
#include "Foundation/backends/XDGDirectories.hpp"
#include "Foundation/backends/GLibPointers.hpp"

namespace RecentlyUsedList {

namespace {
using GLibPointers::BookmarkFile;
using GLibPointers::Text;
using Strv = GLibPointers::TextList;

constexpr std::size_t maximumListSize = std::size_t{16} << 20;

BookmarkFile load() {
    BookmarkFile file(g_bookmark_file_new());
    auto contents = RegularFile::contents(FileManager::hostPath(XDGDirectories::dataHome() + "/recently-used.xbel"), maximumListSize);
    if (!contents || !g_bookmark_file_load_from_data(file.get(), contents->data(), contents->size(), nullptr)) return nullptr;
    return file;
}

// Takes the later of the date and the time (which belongs to the list).
void keepLatest(std::optional<Date>& latest, GDateTime* time) {
    if (!time) return;
    const Date date(static_cast<double>(g_date_time_to_unix(time)) + g_date_time_get_microsecond(time) / 1e6);
    if (!latest || date > *latest) latest = date;
}

std::string programName(const char* commandLine) {
    int count = 0;
    char** words = nullptr;
    if (!commandLine || !g_shell_parse_argv(commandLine, &count, &words, nullptr)) return {};
    Strv owned(words);
    return count > 0 ? lastPathComponent(words[0]) : std::string();
}

// Whether the list's application record (its name and command line) is the entry's application.
bool isApplication(const DesktopEntry& entry, const char* name, const char* exec) {
    if (entry.id == name || entry.name == name) return true;
    const std::string program = programName(exec);
    return !program.empty() && entry.executable && lastPathComponent(*entry.executable) == program;
}

std::optional<Date> lastUseByApplication(GBookmarkFile* list, const DesktopEntry& entry) {
    std::optional<Date> latest;
    Strv uris(g_bookmark_file_get_uris(list, nullptr));
    for (char** uri = uris.get(); uri && *uri; ++uri) {
        Strv names(g_bookmark_file_get_applications(list, *uri, nullptr, nullptr));
        for (char** name = names.get(); name && *name; ++name) {
            char* exec = nullptr;
            GDateTime* stamp = nullptr;
            if (!g_bookmark_file_get_application_info(list, *uri, *name, &exec, nullptr, &stamp, nullptr)) continue;
            Text ownedExec(exec);
            if (isApplication(entry, *name, exec)) keepLatest(latest, stamp);
        }
    }
    return latest;
}
}  // namespace

std::optional<Date> lastUsed(const std::string& path) {
    auto list = load();
    if (!list) return std::nullopt;
    Text uri(g_filename_to_uri(FileManager::hostPath(standardizingPath(path)).c_str(), nullptr, nullptr));
    if (uri && g_bookmark_file_has_item(list.get(), uri.get())) {
        std::optional<Date> latest;
        keepLatest(latest, g_bookmark_file_get_visited_date_time(list.get(), uri.get(), nullptr));
        keepLatest(latest, g_bookmark_file_get_modified_date_time(list.get(), uri.get(), nullptr));
        return latest;
    }
    if (auto entry = DesktopEntry::atPath(path)) return lastUseByApplication(list.get(), *entry);
    return std::nullopt;
}

}  // namespace RecentlyUsedList
