#pragma once
// The file system as the platform's file manager shows it. Paths are the host system's absolute
// paths ("/Applications/...", "/Users/anna/Library/..."), looked up under the system root
// (SystemRoot), so tests and demos can stand a folder of their own in for the disk; the URLs and
// names handed back are again such paths. Privacy protection is a setting: folders named there
// refuse to be listed or read (EPERM), as protected folders do for a process without full disk
// access.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/NSError.hpp"
#include "Foundation/PropertyList.hpp"
#include "Foundation/URL.hpp"

/// Keys of an item's attributes.
inline const std::string NSFileCreationDate = "NSFileCreationDate";
inline const std::string NSFileModificationDate = "NSFileModificationDate";
inline const std::string NSFileSize = "NSFileSize";
inline const std::string NSFileType = "NSFileType";
inline const std::string NSFileTypeDirectory = "NSFileTypeDirectory";
inline const std::string NSFileTypeRegular = "NSFileTypeRegular";
inline const std::string NSFileTypeSymbolicLink = "NSFileTypeSymbolicLink";
inline const std::string NSFileTypeUnknown = "NSFileTypeUnknown";

using FileAttributes = std::map<std::string, PropertyListValue>;

/// Walks a folder depth first, each folder's entries in name order; folders are entered after
/// they are listed, symbolic links are not followed.
class DirectoryEnumerator {
public:
    /// The next item below the folder; absent at the end. Folders have a trailing "/".
    std::optional<URL> nextObject();
    /// Does not enter the folder last returned.
    void skipDescendants() { enterLast_ = false; }

private:
    friend class FileManager;
    struct Level {
        std::string path;  // system path of the folder, without a trailing "/"
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    DirectoryEnumerator(unsigned options) : options_(options) {}
    bool push(const std::string& path);

    unsigned options_;
    std::vector<Level> levels_;
    std::optional<std::string> pendingFolder_;
    bool enterLast_ = false;
};

class FileManager {
public:
    enum DirectoryEnumerationOption : unsigned {
        skipsSubdirectoryDescendants = 1,
        skipsPackageDescendants = 2,
        skipsHiddenFiles = 4,
    };

    /// The user's folders of a kind, where the desktop keeps them (the XDG base and user
    /// directories): library and application support are the data home, preferences the
    /// configuration home, saved state the state home.
    enum class SearchPathDirectory { library, caches, applicationSupport, preferences, savedState, documents, downloads };

    static FileManager& defaultManager();

    /// The user's folder of the kind, as a folder URL of its system path.
    URL url(SearchPathDirectory directory) const;

    /// Names the folders (and everything below them) that refuse listing and reading; empty by
    /// default.
    static void setProtectedPaths(std::vector<std::string> paths);
    static bool isProtected(const std::string& path);

    /// Where a system path lies on the host.
    static std::string hostPath(const std::string& path);

    /// An enumerator of everything below the folder; nullptr when the folder cannot be listed.
    /// Hidden items are those whose name starts with "."; packages are folders with a bundle
    /// extension (".app", ".appex", ".bundle", ".framework", ...), listed but not entered when
    /// the options say so.
    std::unique_ptr<DirectoryEnumerator> enumerator(const URL& url, unsigned options = 0) const;
    /// The folder's direct entries in name order (folders with a trailing "/"); absent, with the
    /// error, when it cannot be listed. Hidden items are left out with skipsHiddenFiles.
    std::optional<std::vector<URL>> contentsOfDirectory(const URL& url, unsigned options, NSError* error = nullptr) const;
    /// The names of the folder's entries in name order, hidden ones included.
    std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path, NSError* error = nullptr) const;

    /// Whether something exists at the path (following a symbolic link), and whether it is a
    /// folder.
    bool fileExists(const std::string& path, bool* isDirectory = nullptr) const;
    /// Whether the process may read the item.
    bool isReadableFile(const std::string& path) const;
    /// The item's attributes (of a symbolic link itself): type, size, modification date and,
    /// where the file system keeps one, creation date.
    std::optional<FileAttributes> attributesOfItem(const std::string& path, NSError* error = nullptr) const;
    /// The largest file `contents` reads.
    static constexpr std::size_t maximumContentsSize = std::size_t{64} << 20;
    /// The whole file; absent when it cannot be read, is no regular file (nor a link to one) or
    /// is larger than maximumContentsSize.
    std::optional<Data> contents(const std::string& path) const;
    /// Removes the item, a folder with everything in it; false, with the error, when it fails.
    bool removeItem(const std::string& path, NSError* error = nullptr) const;

    /// Whether a folder name is that of a package.
    static bool isPackageName(const std::string& name);

private:
    FileManager() = default;
};
