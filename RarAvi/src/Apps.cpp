#include "RarAvi/Apps.hpp"

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/InstalledApplication.hpp"
#include "Foundation/PropertyList.hpp"
#include "RarAvi/FileIconManager.hpp"

namespace RarAvi {

namespace {
constexpr unsigned bundleOptions = FileManager::skipsPackageDescendants | FileManager::skipsHiddenFiles;

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string removingAll(std::string text, const std::string& part) {
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
    return text;
}

// The display name of a bundle folder: an extension loses its ".appex" ending; otherwise every
// ".app" goes.
std::string bundleName(const std::string& folderName) {
    if (endsWith(folderName, ".appex")) return folderName.substr(0, folderName.size() - 6);
    return removingAll(folderName, ".app");
}

std::optional<PropertyListValue::Dictionary> infoDictionary(const URL& bundle) {
    auto list = PropertyListSerialization::propertyList(FileManager::hostPath(bundle.path() + "/Contents/Info.plist"), nullptr);
    if (!list || !list->dictionaryValue()) return std::nullopt;
    return *list->dictionaryValue();
}

std::optional<std::string> stringEntry(const PropertyListValue::Dictionary& dictionary, const std::string& key) {
    auto it = dictionary.find(key);
    return it == dictionary.end() ? std::nullopt : it->second.stringValue();
}

std::uint64_t sizeOf(const std::shared_ptr<FileURL>& file) { return file ? file->size : 0; }

bool isDesktopEntry(const URL& url) { return endsWith(url.lastPathComponent(), ".desktop"); }

bool isSystemMakers(const std::string& identifier) { return identifier.rfind("com.apple.", 0) == 0; }

// The record of an application a desktop entry describes: its program (with its size) stands in
// for the bundle, the entry's file for the bundle's place.
std::shared_ptr<App> appOf(const InstalledApplication& entry, bool excludingApple) {
    if (excludingApple && isSystemMakers(entry.identifier)) return nullptr;
    auto record = App::make(entry.name, entry.identifier);
    record->baseUrl = URL::fileURLWithPath(entry.path);
    const bool hasProgram = entry.program && FileManager::defaultManager().fileExists(*entry.program);
    record->binaryFile = FileURL::make(URL::fileURLWithPath(hasProgram ? *entry.program : entry.path));
    record->version = entry.version;
    record->installed = IOUtilities::creationDate(entry.path);
    return record;
}
}  // namespace

// MARK: - Records

App::App(std::string appName, std::string appIdentifier)
    : name(std::move(appName)),
      identifier(std::move(appIdentifier)),
      baseUrl(URL::fileURLWithPath("/Applications/" + name + ".app")) {
    icon = FileIconManager::shared().appIcon(name);
}

std::uint64_t App::binaryFileSize() const { return sizeOf(binaryFile); }
std::uint64_t App::containerSize() const { return sizeOf(container); }
std::uint64_t App::preferencesSize() const { return sizeOf(preferences); }
std::uint64_t App::savedStateSize() const { return sizeOf(savedState); }

std::uint64_t App::cachesSize() const {
    std::uint64_t total = 0;
    for (const auto& cache : caches) total += sizeOf(cache);
    return total;
}

std::uint64_t App::selectedSize() const {
    std::uint64_t total = 0;
    auto add = [&total](const std::shared_ptr<FileURL>& file) {
        if (file && file->isSelected) total += file->size;
    };
    add(binaryFile);
    add(container);
    add(preferences);
    add(savedState);
    for (const auto& cache : caches) add(cache);
    return total;
}

// MARK: - Scans

std::vector<std::shared_ptr<App>> Apps::installedApps(bool excludingApple) {
    std::vector<std::shared_ptr<App>> result;
    for (const auto& entry : InstalledApplication::all()) {
        if (auto record = appOf(entry, excludingApple)) result.push_back(record);
    }
    return result;
}

std::shared_ptr<App> Apps::app(const URL& at, bool includeContained, bool excludingApple) {
    if (isDesktopEntry(at)) {
        auto entry = InstalledApplication::atPath(at.path());
        return entry ? appOf(*entry, excludingApple) : nullptr;
    }
    auto info = infoDictionary(at);
    if (!info) return nullptr;
    auto identifier = stringEntry(*info, "CFBundleIdentifier");
    if (!identifier) return nullptr;
    if (excludingApple && isSystemMakers(*identifier)) return nullptr;

    auto record = App::make(bundleName(at.lastPathComponent()), *identifier);
    record->binaryFile = FileURL::make(at);
    record->version = stringEntry(*info, "CFBundleShortVersionString");
    if (auto date = IOUtilities::creationDate(at.path())) record->installed = date;
    if (includeContained) record->containedApps = containedApps(at, excludingApple);
    return record;
}

std::vector<std::shared_ptr<App>> Apps::containedApps(const URL& in, bool excludingApple) {
    std::vector<std::shared_ptr<App>> result;
    auto enumerator = FileManager::defaultManager().enumerator(in, bundleOptions);
    if (!enumerator) return result;
    while (auto url = enumerator->nextObject()) {
        const std::string name = url->lastPathComponent();
        if (!endsWith(name, ".app") && !endsWith(name, ".appex")) continue;
        if (auto record = app(*url, false, excludingApple)) result.push_back(record);
    }
    return result;
}

std::optional<std::string> Apps::bundleIdentifier(const URL& of) {
    if (isDesktopEntry(of)) {
        auto entry = InstalledApplication::atPath(of.path());
        return entry ? std::optional(entry->identifier) : std::nullopt;
    }
    auto info = infoDictionary(of);
    return info ? stringEntry(*info, "CFBundleIdentifier") : std::nullopt;
}

bool Apps::isRunning(const std::string& bundleIdentifier) {
    for (const auto& application : NSWorkspace::shared().runningApplications()) {
        if (application && application->bundleIdentifier() == bundleIdentifier) return true;
    }
    return false;
}

std::optional<std::pair<std::string, std::shared_ptr<NSImage>>> Apps::xcodeProduct(const URL& in) {
    auto enumerator = FileManager::defaultManager().enumerator(in.appendingPathComponent("Products", true), bundleOptions);
    if (!enumerator) return std::nullopt;
    while (auto url = enumerator->nextObject()) {
        const std::string name = url->lastPathComponent();
        if (endsWith(name, ".app")) {
            return std::make_pair(removingAll(name, ".app"), NSWorkspace::shared().iconForFile(url->path()));
        }
    }
    return std::nullopt;
}

}  // namespace RarAvi
