#include "RarAvi/IOUtilities.hpp"

#include <iostream>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/MetadataItem.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/URLResourceValues.hpp"
#include "RarAvi/Directory.hpp"
#include "ZuzeDiv/URLExtensions.hpp"

namespace RarAvi {

namespace {
constexpr unsigned recursiveOptions = FileManager::skipsPackageDescendants | FileManager::skipsHiddenFiles;
constexpr unsigned directOptions =
    FileManager::skipsSubdirectoryDescendants | FileManager::skipsPackageDescendants | FileManager::skipsHiddenFiles;

// Whether the item lies in or below a "Library" folder that is the fourth path component
// ("/", "Users", "anna", "Library"): the user's library.
bool isInUserLibrary(const URL& url) {
    const auto components = pathComponents(url.path());
    return components.size() > 3 && components[3] == "Library";
}

std::vector<URL> withoutUserLibrary(std::vector<URL> urls, bool skipLibrary) {
    if (skipLibrary) std::erase_if(urls, isInUserLibrary);
    return urls;
}

void printError(const NSError& error) { std::cout << error.localizedDescription << std::endl; }

std::optional<Date> dateAttribute(const std::string& path, const std::string& key) {
    auto attributes = FileManager::defaultManager().attributesOfItem(path);
    if (!attributes) return std::nullopt;
    auto it = attributes->find(key);
    if (it == attributes->end()) return std::nullopt;
    return it->second.dateValue();
}

// Counts the entries of the kind inside the folder at every depth (folders with true, files with
// false), descending through the folders. A folder that cannot be listed adds nothing and has
// its error printed, as every direct listing does.
int countBelow(const URL& folder, bool directories) {
    NSError error;
    auto entries = FileManager::defaultManager().contentsOfDirectory(folder, directOptions, &error);
    if (!entries) {
        printError(error);
        return 0;
    }
    int count = 0;
    for (const auto& entry : *entries) {
        if (entry.hasDirectoryPath() == directories) ++count;
        if (entry.hasDirectoryPath()) count += countBelow(entry, directories);
    }
    return count;
}
}  // namespace

// MARK: - File records

FileURL::FileURL(URL item) : url(std::move(item)), name(url.lastPathComponent()) {
    switch (IOUtilities::pathType(url.path())) {
        case PathType::invalid: size = 0; break;
        case PathType::file: size = IOUtilities::fileSize(url); break;
        case PathType::directory: size = IOUtilities::directorySize(url); break;
    }
}

// MARK: - Listings

std::vector<URL> IOUtilities::files(const URL& folder) {
    std::vector<URL> result;
    auto enumerator = FileManager::defaultManager().enumerator(folder, recursiveOptions);
    if (!enumerator) return result;
    while (auto url = enumerator->nextObject()) {
        if (!url->hasDirectoryPath()) result.push_back(*url);
    }
    return result;
}

std::vector<URL> IOUtilities::files(const URL& folder, const std::string& suffix) {
    std::vector<URL> result;
    for (auto& url : files(folder)) {
        const std::string name = url.lastPathComponent();
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            result.push_back(std::move(url));
        }
    }
    return result;
}

std::vector<URL> IOUtilities::directories(const URL& folder) {
    std::vector<URL> result;
    auto enumerator = FileManager::defaultManager().enumerator(folder, recursiveOptions);
    if (!enumerator) return result;
    while (auto url = enumerator->nextObject()) {
        NSError error;
        auto values = resourceValues(*url, {URLResourceKey::isDirectory}, &error);
        if (!values) {
            printError(error);
            return result;
        }
        if (values->isDirectory.value_or(false)) result.push_back(*url);
    }
    return result;
}

std::vector<URL> IOUtilities::directories(const URL& folder, bool skipLibrary) {
    return withoutUserLibrary(directories(folder), skipLibrary);
}

std::vector<URL> IOUtilities::contents(const URL& folder, bool directories) {
    NSError error;
    auto entries = FileManager::defaultManager().contentsOfDirectory(folder, directOptions, &error);
    if (!entries) {
        printError(error);
        return {};
    }
    std::erase_if(*entries, [directories](const URL& url) { return url.hasDirectoryPath() != directories; });
    return *entries;
}

std::vector<URL> IOUtilities::contents(const URL& folder, bool directories, bool skipLibrary) {
    return withoutUserLibrary(contents(folder, directories), skipLibrary);
}

int IOUtilities::itemCount(const URL& folder, bool directories) {
    // The walk goes through the folders below the top ones whichever kind is counted; files
    // cannot be listed, so counting them means counting inside the folders.
    int count = 0;
    for (const auto& top : contents(folder, true, true)) count += countBelow(top, directories);
    return count;
}

std::vector<URL> IOUtilities::containers(bool excludingApple) {
    auto folders = contents(URL::fileURLWithPath(path(Directory::containers), true), true, false);
    if (excludingApple) {
        std::erase_if(folders, [](const URL& url) { return url.lastPathComponent().rfind("com.apple.", 0) == 0; });
    }
    return folders;
}

// MARK: - Kinds and sizes

PathType IOUtilities::pathType(const std::string& path) {
    bool folder = false;
    if (!FileManager::defaultManager().fileExists(path, &folder)) return PathType::invalid;
    return folder ? PathType::directory : PathType::file;
}

std::uint64_t IOUtilities::fileSize(const URL& url) {
    auto values = resourceValues(url, {URLResourceKey::fileSize});
    return values ? values->fileSize.value_or(0) : 0;
}

std::uint64_t IOUtilities::directorySize(const URL& url) {
    auto enumerator = FileManager::defaultManager().enumerator(url, 0);
    if (!enumerator) return 0;
    std::uint64_t total = 0;
    while (auto item = enumerator->nextObject()) {
        auto values = resourceValues(*item, {URLResourceKey::fileSize});
        if (values && values->fileSize) total += *values->fileSize;
    }
    return total;
}

// MARK: - Dates

std::optional<Date> IOUtilities::creationDate(const std::string& path) { return dateAttribute(path, NSFileCreationDate); }

std::optional<Date> IOUtilities::modificationDate(const std::string& path) {
    return dateAttribute(path, NSFileModificationDate);
}

std::optional<Date> IOUtilities::lastUsedDate(const std::string& path) {
    if (!FileManager::defaultManager().isReadableFile(path)) return std::nullopt;
    auto item = MDItemCreate(path);
    if (!item) return std::nullopt;
    auto value = MDItemCopyAttribute(item, kMDItemLastUsedDate);
    return value ? value->dateValue() : std::nullopt;
}

// MARK: - Icons, the file viewer, deleting

std::shared_ptr<NSImage> IOUtilities::icon(const std::string& forFile) { return NSWorkspace::shared().iconForFile(forFile); }

std::shared_ptr<NSImage> IOUtilities::icon(const URL& url) {
    if (ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0})) {
        // The content type is read from the item itself, where the system root puts it.
        auto type = ZuzeDiv::contentType(URL::fileURLWithPath(FileManager::hostPath(url.path()), url.hasDirectoryPath()));
        if (!type) return nullptr;
        return NSWorkspace::shared().iconForContentType(*type);
    }
    return NSWorkspace::shared().iconForFileType(url.pathExtension());
}

void IOUtilities::revealInFinder(const URL& url) {
    NSWorkspace::shared().selectFile(url.path(), url.deletingLastPathComponent().path());
}

bool IOUtilities::remove(const URL& url) {
    const std::string target = url.path();
    FileManager::defaultManager().removeItem(target);
    return !FileManager::defaultManager().fileExists(target);
}

bool IOUtilities::remove(const FileURL& file) { return remove(file.url); }

}  // namespace RarAvi
