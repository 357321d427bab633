#pragma once
// The applications installed in the system's application folder: each one's bundle identifier,
// version, installation date, icon, size on disk and the applications and extensions nested in
// its bundle. A caller that cleans an application up fills the record's other file records
// itself and reads their summed sizes. Every scan runs at once on the caller's thread; nothing
// is cached between calls.
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

    /// The bundle's folder name without its ending.
    std::string name;
    std::shared_ptr<NSImage> icon;
    std::string identifier;
    /// When the bundle was made.
    std::optional<Date> installed;
    std::optional<Date> lastOpened;
    bool selected = false;
    std::optional<std::string> version;
    std::optional<URL> baseUrl;
    /// The bundle itself, with its measured size.
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

    /// Every application bundle below the application folder, each with its nested applications.
    static std::vector<std::shared_ptr<App>> installedApps(bool excludingApple);
    /// One application read from its bundle; nullptr when the bundle has no readable information
    /// property list or no identifier, or (with `excludingApple`) is one of the system maker's.
    static std::shared_ptr<App> app(const URL& at, bool includeContained, bool excludingApple);
    /// The applications and extensions nested in a bundle, not inside one another.
    static std::vector<std::shared_ptr<App>> containedApps(const URL& in, bool excludingApple);
    static std::optional<std::string> bundleIdentifier(const URL& of);
    /// Whether a running application has exactly this bundle identifier.
    static bool isRunning(const std::string& bundleIdentifier);
    /// The name and icon of the first application bundle below the build folder's "Products".
    static std::optional<std::pair<std::string, std::shared_ptr<NSImage>>> xcodeProduct(const URL& in);
};

}  // namespace RarAvi
