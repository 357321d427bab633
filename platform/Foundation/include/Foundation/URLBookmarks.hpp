#pragma once
// Bookmarks: data that finds a file again in a later run, and security-scoped access to what a
// bookmark found. Bookmark data here is our own: a marker, the item's path and its identity on
// the file system (device and inode). It resolves to the path while something is there, and is
// stale when what is there now is another item. Access is granted unless a setting refuses the
// path; each start is counted until stopped, so tests can see what is still held.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URL.hpp"

struct URLBookmarkCreationOptions {
    std::uint64_t rawValue = 0;
    static constexpr URLBookmarkCreationOptions minimalBookmark() { return {0x200}; }
    static constexpr URLBookmarkCreationOptions withSecurityScope() { return {0x800}; }
    static constexpr URLBookmarkCreationOptions securityScopeAllowOnlyReadAccess() { return {0x1000}; }
    bool contains(URLBookmarkCreationOptions other) const { return (rawValue & other.rawValue) == other.rawValue; }
    bool operator==(const URLBookmarkCreationOptions&) const = default;
};

struct URLBookmarkResolutionOptions {
    std::uint64_t rawValue = 0;
    static constexpr URLBookmarkResolutionOptions withoutUI() { return {0x100}; }
    static constexpr URLBookmarkResolutionOptions withoutMounting() { return {0x200}; }
    static constexpr URLBookmarkResolutionOptions withSecurityScope() { return {0x400}; }
    bool contains(URLBookmarkResolutionOptions other) const { return (rawValue & other.rawValue) == other.rawValue; }
    bool operator==(const URLBookmarkResolutionOptions&) const = default;
};

/// Bookmark data of the file URL's item; absent, with the error, when nothing exists there.
std::optional<Data> bookmarkData(const URL& url, URLBookmarkCreationOptions options, NSError* error = nullptr);
/// The URL a bookmark finds (folders with a trailing "/"); `isStale` tells whether the item there
/// is no longer the one bookmarked. Absent, with the error, for data that is no bookmark or whose
/// item is gone.
std::optional<URL> resolvingBookmarkData(const Data& data, URLBookmarkResolutionOptions options, bool* isStale,
                                         NSError* error = nullptr);

/// Starts access to the item; false when nothing exists there or access is refused.
bool startAccessingSecurityScopedResource(const URL& url);
/// Ends one access started before; nothing when none is running.
void stopAccessingSecurityScopedResource(const URL& url);

class SecurityScopedAccess {
public:
    SecurityScopedAccess() = delete;
    /// Decides which paths are refused; nullptr refuses none.
    static void setRefusal(std::function<bool(const std::string& path)> refuses);
    /// How many accesses to the path are running.
    static int accessCount(const std::string& path);
    /// Forgets every running access.
    static void reset();
};
