#pragma once
// The installed applications, as the desktop's menus list them from their desktop entries: each
// one's id, name, version, installation date, icon and size on disk. Application bundles are read
// too, with the applications and extensions nested in them. A caller that cleans an application
// up fills the record's other file records itself and reads their summed sizes. Every scan runs
// at once on the caller's thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppKit/NSImage.hpp"
#include "Foundation/Date.hpp"
#include "Foundation/URL.hpp"
#include "RarAvi/IOUtilities.hpp"

namespace RarAvi {

class App {
public:
    /// A record with the name and identifier, "/Applications/<name>.app" as its base URL and the
    /// application's icon from the shared file icons.
    App(std::string name, std::string identifier);
    virtual ~App() = default;
    static std::shared_ptr<App> make(std::string name, std::string identifier) {
        return std::make_shared<App>(std::move(name), std::move(identifier));
    }

    /// The entry's name, or the bundle's folder name without its ending.
    std::string name;
    std::shared_ptr<NSImage> icon;
    std::string identifier;
    /// When the bundle was made.
    std::optional<Date> installed;
    std::optional<Date> lastOpened;
    bool selected = false;
    std::optional<std::string> version;
    /// The desktop entry's file, or "/Applications/<name>.app".
    std::optional<URL> baseUrl;
    /// The program the entry starts (else the entry's file), or the bundle itself, with its
    /// measured size.
    std::shared_ptr<FileURL> binaryFile;
    std::shared_ptr<FileURL> container;
    std::shared_ptr<FileURL> preferences;
    std::shared_ptr<FileURL> savedState;
    std::vector<std::shared_ptr<FileURL>> caches;
    /// Applications and extensions nested in the bundle (one level deep).
    std::vector<std::shared_ptr<App>> containedApps;

    std::uint64_t binaryFileSize() const;
    std::uint64_t containerSize() const;
    std::uint64_t preferencesSize() const;
    std::uint64_t savedStateSize() const;
    std::uint64_t cachesSize() const;
    /// The sizes of the file records that are selected.
    std::uint64_t selectedSize() const;
};

class Apps {
public:
    Apps() = delete;

    /// Every application a menu lists (hidden entries and those not to be displayed left out),
    /// by id; with `excludingApple`, none whose id starts with "com.apple.".
    static std::vector<std::shared_ptr<App>> installedApps(bool excludingApple);
    /// One application read from its desktop entry (a ".desktop" file) or its bundle; nullptr
    /// when the entry is no application's, the bundle has no readable information property list
    /// or no identifier, or (with `excludingApple`) it is one of the system maker's.
    static std::shared_ptr<App> app(const URL& at, bool includeContained, bool excludingApple);
    /// The applications and extensions nested in a bundle, not inside one another.
    static std::vector<std::shared_ptr<App>> containedApps(const URL& in, bool excludingApple);
    /// The desktop entry's id, or the bundle's identifier.
    static std::optional<std::string> bundleIdentifier(const URL& of);
    /// Whether a running application has exactly this bundle identifier.
    static bool isRunning(const std::string& bundleIdentifier);
    /// The name and icon of the first application bundle below the build folder's "Products".
    static std::optional<std::pair<std::string, std::shared_ptr<NSImage>>> xcodeProduct(const URL& in);
};

}  // namespace RarAvi
