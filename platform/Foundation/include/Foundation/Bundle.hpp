#pragma once
// Bundles: folders of resources with an information dictionary and localised string tables.
// The main bundle is the application's folder (the executable's folder unless set otherwise);
// module bundles ("<Name>.bundle") are found inside it.
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/PropertyList.hpp"
#include "Foundation/URL.hpp"

class Bundle {
public:
    static std::shared_ptr<Bundle> main();
    /// Points the main bundle at another folder (tests, demos); an empty path restores the default.
    static void setMainPath(const std::filesystem::path& path);
    /// The bundle at a folder; nullptr when there is no such folder.
    static std::shared_ptr<Bundle> atPath(const std::filesystem::path& path);
    /// A module's resource bundle "<name>.bundle", looked for in the main bundle's resources, then
    /// in the main bundle's folder; stops the process with "unable to find bundle named <name>"
    /// when it is in neither.
    static std::shared_ptr<Bundle> module(const std::string& name);
    /// The same search, without stopping: nullptr when missing.
    static std::shared_ptr<Bundle> findModule(const std::string& name);

    explicit Bundle(std::filesystem::path path);

    const std::filesystem::path& bundlePath() const { return path_; }
    URL bundleURL() const { return URL::fileURLWithPath(path_.string(), true); }
    /// "Resources" inside the bundle when it has one (or "Contents/Resources"), else the bundle itself.
    std::filesystem::path resourcePath() const;
    URL resourceURL() const { return URL::fileURLWithPath(resourcePath().string(), true); }
    /// The name of the running program (main bundle) or of the bundle's folder.
    std::string executableName() const;

    /// The largest ".strings" table read; Info.plist is read up to
    /// PropertyListSerialization::maximumFileSize. Either is read only where it is a regular file.
    static constexpr std::size_t maximumStringsTableSize = std::size_t{16} << 20;

    /// Info.plist read once; empty when the bundle has none.
    const PropertyListValue::Dictionary& infoDictionary() const;
    const PropertyListValue* objectForInfoDictionaryKey(const std::string& key) const;
    std::optional<std::string> bundleIdentifier() const;
    std::string developmentLocalization() const;
    /// The ".lproj" folders of the bundle, without the extension.
    std::vector<std::string> localizations() const;

    /// The entry of `key` in the table (default "Localizable") of the best localisation for the
    /// preferred languages, falling back to the development localisation and then "Base"; when no
    /// table has it: `value`, or the key itself when `value` is empty.
    std::string localizedString(const std::string& key, const std::string& value = "",
                                const std::optional<std::string>& table = std::nullopt) const;

    /// A resource file: "<name>.<ext>" in the resources (or a sub-folder), then in the
    /// localisation folders in order of preference.
    std::optional<std::filesystem::path> pathForResource(const std::string& name, const std::string& extension = "",
                                                         const std::string& subdirectory = "") const;
    std::optional<URL> urlForResource(const std::string& name, const std::string& extension = "",
                                      const std::string& subdirectory = "") const;

private:
    std::vector<std::string> languageSearchOrder() const;
    void findLayout() const;
    const std::map<std::string, std::string>* table(const std::string& localization, const std::string& name) const;

    std::filesystem::path path_;
    // A bundle's folders do not change while the program runs: found once.
    mutable std::once_flag layoutOnce_;
    mutable std::filesystem::path resourcePath_;
    mutable std::vector<std::string> localizations_;
    mutable std::once_flag infoOnce_;
    mutable PropertyListValue::Dictionary info_;
    mutable std::mutex tablesMutex_;
    mutable std::map<std::string, std::optional<std::map<std::string, std::string>>> tables_;
};

/// Reads a ".strings" table: `"key" = "value";` pairs with comments and the usual escapes.
/// Absent when the text is not such a table.
std::optional<std::map<std::string, std::string>> parseStringsTable(const std::string& text);
