#pragma once
// Icons of files and of installed applications. An application's icon is looked up by its name:
// the icon its desktop entry names (the entry whose name or id it is), else its own icon file
// among the resources of "/System/Applications/<name>.app", else of "/Applications/<name>.app",
// else the workspace's icon of that bundle path (a generic icon when there is none). Application
// icons are kept in a cache shared by every caller, guarded by its own queue.
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSImage.hpp"
#include "Foundation/URL.hpp"
#include "ZuzeDiv/ThreadedDictionary.hpp"

namespace RarAvi {

class FileIconManager {
public:
    FileIconManager() = default;
    virtual ~FileIconManager() = default;

    /// The instance all lookups go through.
    static FileIconManager& shared();

    /// A desktop entry's or an application bundle's workspace icon (not cached); for a file inside
    /// a bundle, the icon of the first application the path passes through; nullptr for a file
    /// outside any bundle.
    virtual std::shared_ptr<NSImage> fileIcon(const URL& url);
    /// The icon of the application "<name>.app"; cached.
    virtual std::shared_ptr<NSImage> appIcon(const std::string& named);
    /// The first file below the folder whose name ends in ".icns", in the enumerator's order.
    virtual std::optional<URL> firstIconFile(const URL& folder);

    ZuzeDiv::ThreadedDictionary<std::string, std::shared_ptr<NSImage>> cache;
};

}  // namespace RarAvi
