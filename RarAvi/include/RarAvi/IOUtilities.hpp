#pragma once
// File-system helpers: recursive and direct listings, counts, sizes, dates, icons, revealing in
// the file viewer and deleting. Every operation runs at once on the caller's thread and caches
// nothing. No operation fails towards its caller: a listing that cannot start is empty, a size
// that cannot be read is 0, a date that cannot be read is absent. Two listings print the error
// that stopped them as one line on standard output.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSImage.hpp"
#include "Foundation/Date.hpp"
#include "Foundation/URL.hpp"

namespace RarAvi {

/// What, if anything, stands at a path.
enum class PathType { invalid, file, directory };

/// An item with its size measured when the record is made (a folder's size is that of everything
/// below it); the record is not refreshed later.
class FileURL {
public:
    explicit FileURL(URL url);
    static std::shared_ptr<FileURL> make(URL url) { return std::make_shared<FileURL>(std::move(url)); }

    URL url;
    /// Bytes; 0 when nothing existed at the path.
    std::uint64_t size = 0;
    /// The URL's last path component.
    std::string name;
    /// Free for the caller's selection state.
    bool isSelected = false;
};

class IOUtilities {
public:
    IOUtilities() = delete;

    /// Every file below the folder, recursively (hidden items and package contents left out).
    static std::vector<URL> files(const URL& folder);
    /// The files below the folder whose last path component ends with the suffix.
    static std::vector<URL> files(const URL& folder, const std::string& suffix);
    /// Every folder below the folder, recursively (packages listed, not entered).
    static std::vector<URL> directories(const URL& folder);
    /// The same, without the items whose fourth path component is "Library" when `skipLibrary`.
    static std::vector<URL> directories(const URL& folder, bool skipLibrary);
    /// The folder's direct entries that are folders (or, with false, that are not).
    static std::vector<URL> contents(const URL& folder, bool directories);
    static std::vector<URL> contents(const URL& folder, bool directories, bool skipLibrary);
    /// With true: the folders at every depth below the folder's top folders (the top ones not
    /// counted). With false: the files inside those folders at every depth.
    static int itemCount(const URL& folder, bool directories);
    /// The folders directly inside the user's containers folder, without those named
    /// "com.apple.<anything>" when `excludingApple`.
    static std::vector<URL> containers(bool excludingApple);

    static PathType pathType(const std::string& path);
    static std::uint64_t fileSize(const URL& url);
    /// The sizes of all files below the folder, hidden ones and package contents included.
    static std::uint64_t directorySize(const URL& url);
    static std::optional<Date> creationDate(const std::string& path);
    static std::optional<Date> modificationDate(const std::string& path);
    /// When the item was last used, as the metadata index knows it; absent for an unreadable path.
    static std::optional<Date> lastUsedDate(const std::string& path);

    /// The workspace's icon of the file.
    static std::shared_ptr<NSImage> icon(const std::string& forFile);
    /// The icon of the URL's content type; nullptr when the type cannot be told.
    static std::shared_ptr<NSImage> icon(const URL& url);

    /// Shows the item selected in a file viewer window of its folder.
    static void revealInFinder(const URL& url);
    /// Removes the item; true when nothing exists at its path afterwards.
    static bool remove(const URL& url);
    static bool remove(const FileURL& file);
};

}  // namespace RarAvi
