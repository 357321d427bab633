#pragma once
// What a file URL's item is, read from the file system (under the system root, as the file
// manager reads it).
#include <cstdint>
#include <optional>
#include <vector>

#include "Foundation/NSError.hpp"
#include "Foundation/URL.hpp"

enum class URLResourceKey { isDirectory, isRegularFile, isSymbolicLink, fileSize };

struct URLResourceValues {
    std::optional<bool> isDirectory;
    std::optional<bool> isRegularFile;
    std::optional<bool> isSymbolicLink;
    /// Regular files only.
    std::optional<std::uint64_t> fileSize;
};

/// The values of the keys for the item itself (a symbolic link is not followed); absent, with
/// the error, when the URL is no file URL or nothing exists there.
std::optional<URLResourceValues> resourceValues(const URL& url, const std::vector<URLResourceKey>& keys,
                                                NSError* error = nullptr);
