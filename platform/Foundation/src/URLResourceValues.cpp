#include "Foundation/URLResourceValues.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "Foundation/FileManager.hpp"

std::optional<URLResourceValues> resourceValues(const URL& url, const std::vector<URLResourceKey>& keys, NSError* error) {
    struct stat status {};
    if (!url.isFileURL() || ::lstat(FileManager::hostPath(url.path()).c_str(), &status) != 0) {
        if (error) *error = NSError::fileError(url.isFileURL() ? errno : EINVAL, url.path());
        return std::nullopt;
    }
    auto wants = [&](URLResourceKey key) { return std::find(keys.begin(), keys.end(), key) != keys.end(); };
    URLResourceValues values;
    if (wants(URLResourceKey::isDirectory)) values.isDirectory = S_ISDIR(status.st_mode);
    if (wants(URLResourceKey::isRegularFile)) values.isRegularFile = S_ISREG(status.st_mode);
    if (wants(URLResourceKey::isSymbolicLink)) values.isSymbolicLink = S_ISLNK(status.st_mode);
    if (wants(URLResourceKey::fileSize) && S_ISREG(status.st_mode)) values.fileSize = static_cast<std::uint64_t>(status.st_size);
    return values;
}
