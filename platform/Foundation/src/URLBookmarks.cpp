#include "Foundation/URLBookmarks.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/PropertyList.hpp"

namespace {
const std::string marker = "QBMK1";

std::mutex accessMutex;
std::function<bool(const std::string&)> refusal;
std::map<std::string, int> accesses;

NSError corrupt() {
    return NSError{NSCocoaErrorDomain, NSFileReadCorruptFileError,
                   "The file couldn\u2019t be opened because it isn\u2019t in the correct format.", nullptr};
}

std::string tidyPath(const URL& url) { return standardizingPath(url.path()); }
}  // namespace

std::optional<Data> bookmarkData(const URL& url, URLBookmarkCreationOptions options, NSError* error) {
    struct stat status {};
    const std::string path = tidyPath(url);
    if (!url.isFileURL() || ::stat(FileManager::hostPath(path).c_str(), &status) != 0) {
        if (error) *error = NSError::fileError(url.isFileURL() ? errno : EINVAL, path);
        return std::nullopt;
    }
    PropertyListValue::Dictionary record{
        {"Path", path},
        {"Device", static_cast<std::int64_t>(status.st_dev)},
        {"Inode", static_cast<std::int64_t>(status.st_ino)},
        {"IsDirectory", S_ISDIR(status.st_mode) != 0},
        {"SecurityScope", options.contains(URLBookmarkCreationOptions::withSecurityScope())},
    };
    Data data = dataFromString(marker);
    Data body = *PropertyListSerialization::data(PropertyListValue(record), PropertyListSerialization::Format::binary);
    data.insert(data.end(), body.begin(), body.end());
    return data;
}

std::optional<URL> resolvingBookmarkData(const Data& data, URLBookmarkResolutionOptions, bool* isStale, NSError* error) {
    auto fail = [&](NSError failure) -> std::optional<URL> {
        if (error) *error = std::move(failure);
        return std::nullopt;
    };
    if (data.size() <= marker.size() || !std::equal(marker.begin(), marker.end(), data.begin())) return fail(corrupt());
    auto record = PropertyListSerialization::propertyList(Data(data.begin() + static_cast<long>(marker.size()), data.end()));
    const PropertyListValue* path = record ? record->find("Path") : nullptr;
    const PropertyListValue* device = record ? record->find("Device") : nullptr;
    const PropertyListValue* inode = record ? record->find("Inode") : nullptr;
    if (!path || !path->stringValue() || !device || !device->integerValue() || !inode || !inode->integerValue()) {
        return fail(corrupt());
    }
    struct stat status {};
    if (::stat(FileManager::hostPath(*path->stringValue()).c_str(), &status) != 0) {
        NSError failure = NSError::fileError(errno, *path->stringValue());
        failure.code = NSFileNoSuchFileError;
        return fail(failure);
    }
    if (isStale) {
        *isStale = static_cast<std::int64_t>(status.st_dev) != *device->integerValue() ||
                   static_cast<std::int64_t>(status.st_ino) != *inode->integerValue();
    }
    return URL::fileURLWithPath(*path->stringValue(), S_ISDIR(status.st_mode));
}

bool startAccessingSecurityScopedResource(const URL& url) {
    const std::string path = tidyPath(url);
    bool exists = url.isFileURL() && FileManager::defaultManager().fileExists(path);
    std::function<bool(const std::string&)> refuses;
    {
        std::lock_guard lock(accessMutex);
        refuses = refusal;
    }
    if (!exists || (refuses && refuses(path))) return false;
    std::lock_guard lock(accessMutex);
    ++accesses[path];
    return true;
}

void stopAccessingSecurityScopedResource(const URL& url) {
    std::lock_guard lock(accessMutex);
    auto it = accesses.find(tidyPath(url));
    if (it == accesses.end()) return;
    if (--it->second <= 0) accesses.erase(it);
}

void SecurityScopedAccess::setRefusal(std::function<bool(const std::string& path)> refuses) {
    std::lock_guard lock(accessMutex);
    refusal = std::move(refuses);
}

int SecurityScopedAccess::accessCount(const std::string& path) {
    std::lock_guard lock(accessMutex);
    auto it = accesses.find(standardizingPath(path));
    return it == accesses.end() ? 0 : it->second;
}

void SecurityScopedAccess::reset() {
    std::lock_guard lock(accessMutex);
    accesses.clear();
}
