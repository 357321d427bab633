#include "Foundation/FileManager.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <set>

#include "Foundation/PathUtilities.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"
#include "Foundation/backends/XDGDirectories.hpp"

namespace fs = std::filesystem;

namespace {
std::mutex protectionMutex;
std::vector<std::string> protectedPaths;

std::string joined(const std::string& folder, const std::string& name) {
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

bool isHidden(const std::string& name) { return !name.empty() && name.front() == '.'; }

// The entries of a host folder in name order; an errno on failure.
int listNames(const std::string& path, std::vector<std::string>& names) {
    if (FileManager::isProtected(path)) return EPERM;
    std::error_code error;
    fs::directory_iterator it(FileManager::hostPath(path), error);
    if (error) return error.value();
    for (const auto end = fs::directory_iterator(); it != end; it.increment(error)) {
        if (error) return error.value();
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return 0;
}

// lstat of a system path; false with errno when it fails.
bool linkStatus(const std::string& path, struct stat& status) {
    return ::lstat(FileManager::hostPath(path).c_str(), &status) == 0;
}

Date dateOf(const struct statx_timestamp& time) {
    return Date(static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9);
}
}  // namespace

// MARK: - The enumerator

bool DirectoryEnumerator::push(const std::string& path) {
    Level level;
    level.path = path;
    if (listNames(path, level.names) != 0) return false;
    levels_.push_back(std::move(level));
    return true;
}

std::optional<URL> DirectoryEnumerator::nextObject() {
    if (pendingFolder_ && enterLast_) push(*pendingFolder_);
    pendingFolder_.reset();
    enterLast_ = false;
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next >= level.names.size()) {
            levels_.pop_back();
            continue;
        }
        const std::string name = level.names[level.next++];
        if ((options_ & FileManager::skipsHiddenFiles) && isHidden(name)) continue;
        const std::string path = joined(level.path, name);
        struct stat status {};
        const bool folder = linkStatus(path, status) && S_ISDIR(status.st_mode);
        if (folder) {
            pendingFolder_ = path;
            enterLast_ = !(options_ & FileManager::skipsSubdirectoryDescendants) &&
                         !((options_ & FileManager::skipsPackageDescendants) && FileManager::isPackageName(name));
        }
        return URL::fileURLWithPath(path, folder);
    }
    return std::nullopt;
}

// MARK: - The file manager

FileManager& FileManager::defaultManager() {
    static FileManager* manager = new FileManager();
    return *manager;
}

void FileManager::setProtectedPaths(std::vector<std::string> paths) {
    for (auto& path : paths) path = standardizingPath(path);
    std::lock_guard lock(protectionMutex);
    protectedPaths = std::move(paths);
}

bool FileManager::isProtected(const std::string& path) {
    const std::string tidy = standardizingPath(path);
    std::lock_guard lock(protectionMutex);
    for (const auto& folder : protectedPaths) {
        if (tidy == folder) return true;
        const std::string prefix = folder == "/" ? folder : folder + "/";
        if (tidy.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

URL FileManager::url(SearchPathDirectory directory) const {
    using UserDirectory = XDGDirectories::UserDirectory;
    auto path = [&] {
        switch (directory) {
            case SearchPathDirectory::library:
            case SearchPathDirectory::applicationSupport: return XDGDirectories::dataHome();
            case SearchPathDirectory::caches: return XDGDirectories::cacheHome();
            case SearchPathDirectory::preferences: return XDGDirectories::configHome();
            case SearchPathDirectory::savedState: return XDGDirectories::stateHome();
            case SearchPathDirectory::documents: return XDGDirectories::userDirectory(UserDirectory::documents);
            case SearchPathDirectory::downloads: return XDGDirectories::userDirectory(UserDirectory::download);
        }
        return XDGDirectories::dataHome();
    }();
    return URL::fileURLWithPath(path, true);
}

std::string FileManager::hostPath(const std::string& path) { return SystemRoot::resolve(path).string(); }

bool FileManager::isPackageName(const std::string& name) {
    static const std::set<std::string> extensions{"app",       "appex",      "bundle",      "framework", "plugin",
                                                  "kext",      "xpc",        "prefpane",    "qlgenerator", "mdimporter",
                                                  "saver",     "wdgt",       "pkg",         "mpkg",      "rtfd",
                                                  "xcodeproj", "xcworkspace", "playground", "photoslibrary"};
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extensions.count(extension) > 0;
}

std::unique_ptr<DirectoryEnumerator> FileManager::enumerator(const URL& url, unsigned options) const {
    if (!url.isFileURL()) return nullptr;
    std::unique_ptr<DirectoryEnumerator> enumerator(new DirectoryEnumerator(options));
    if (!enumerator->push(url.path())) return nullptr;
    return enumerator;
}

std::optional<std::vector<URL>> FileManager::contentsOfDirectory(const URL& url, unsigned options, NSError* error) const {
    const std::string folder = url.path();
    std::vector<std::string> names;
    if (int number = url.isFileURL() ? listNames(folder, names) : EINVAL; number != 0) {
        if (error) *error = NSError::fileError(number, folder);
        return std::nullopt;
    }
    std::vector<URL> entries;
    for (const auto& name : names) {
        if ((options & skipsHiddenFiles) && isHidden(name)) continue;
        const std::string path = joined(folder, name);
        struct stat status {};
        entries.push_back(URL::fileURLWithPath(path, linkStatus(path, status) && S_ISDIR(status.st_mode)));
    }
    return entries;
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const std::string& path, NSError* error) const {
    std::vector<std::string> names;
    if (int number = listNames(path, names); number != 0) {
        if (error) *error = NSError::fileError(number, path);
        return std::nullopt;
    }
    return names;
}

bool FileManager::fileExists(const std::string& path, bool* isDirectory) const {
    struct stat status {};
    if (path.empty() || ::stat(hostPath(path).c_str(), &status) != 0) return false;
    if (isDirectory) *isDirectory = S_ISDIR(status.st_mode);
    return true;
}

bool FileManager::isReadableFile(const std::string& path) const {
    if (path.empty() || isProtected(path)) return false;
    return ::access(hostPath(path).c_str(), R_OK) == 0;
}

std::optional<FileAttributes> FileManager::attributesOfItem(const std::string& path, NSError* error) const {
    struct statx status {};
    if (path.empty() ||
        ::statx(AT_FDCWD, hostPath(path).c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) {
        if (error) *error = NSError::fileError(path.empty() ? ENOENT : errno, path);
        return std::nullopt;
    }
    FileAttributes attributes;
    const auto mode = status.stx_mode;
    attributes[NSFileType] = S_ISDIR(mode)   ? NSFileTypeDirectory
                             : S_ISREG(mode) ? NSFileTypeRegular
                             : S_ISLNK(mode) ? NSFileTypeSymbolicLink
                                             : NSFileTypeUnknown;
    attributes[NSFileSize] = static_cast<std::int64_t>(status.stx_size);
    attributes[NSFileModificationDate] = dateOf(status.stx_mtime);
    if (status.stx_mask & STATX_BTIME) attributes[NSFileCreationDate] = dateOf(status.stx_btime);
    return attributes;
}

std::optional<Data> FileManager::contents(const std::string& path) const {
    if (path.empty() || isProtected(path)) return std::nullopt;
    auto bytes = RegularFile::contents(hostPath(path), maximumContentsSize);
    if (!bytes) return std::nullopt;
    return dataFromString(*bytes);
}

bool FileManager::removeItem(const std::string& path, NSError* error) const {
    auto fail = [&](int number) {
        if (error) *error = NSError::fileError(number, path, true);
        return false;
    };
    struct stat status {};
    if (path.empty() || !linkStatus(path, status)) return fail(ENOENT);
    // The root of the file system is never removed.
    if (isProtected(path) || standardizingPath(path) == "/") return fail(EPERM);
    std::error_code failure;
    fs::remove_all(hostPath(path), failure);
    return failure ? fail(failure.value()) : true;
}

