#include "RarAvi/FileIconManager.hpp"

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/InstalledApplication.hpp"
#include "Foundation/PathUtilities.hpp"

namespace RarAvi {

namespace {
bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string removingAll(std::string text, const std::string& part) {
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
    return text;
}
}  // namespace

FileIconManager& FileIconManager::shared() {
    static FileIconManager* manager = new FileIconManager();
    return *manager;
}

std::shared_ptr<NSImage> FileIconManager::fileIcon(const URL& url) {
    const std::string last = url.lastPathComponent();
    if (endsWith(last, ".app") || endsWith(last, ".desktop")) return NSWorkspace::shared().iconForFile(url.path());
    for (const auto& component : pathComponents(url.path())) {
        if (endsWith(component, ".app")) return appIcon(removingAll(component, ".app"));
    }
    return nullptr;
}

std::shared_ptr<NSImage> FileIconManager::appIcon(const std::string& named) {
    if (auto cached = cache.get(named); cached && *cached) return *cached;

    for (const auto& entry : InstalledApplication::all()) {
        if (entry.name != named && entry.identifier != named) continue;
        auto icon = NSWorkspace::shared().iconForFile(entry.path);
        cache.set(named, icon);
        return icon;
    }

    if (auto file = firstIconFile(URL::fileURLWithPath("/System/Applications/" + named + ".app/Contents/Resources", true))) {
        auto image = NSImage::contentsOfFile(FileManager::hostPath(file->path()));
        cache.set(named, image ? std::optional(image) : std::nullopt);
        return image;
    }
    std::shared_ptr<NSImage> icon;
    if (auto file = firstIconFile(URL::fileURLWithPath("/Applications/" + named + ".app/Contents/Resources/", true))) {
        icon = NSWorkspace::shared().iconForFile(file->path());
    } else {
        icon = NSWorkspace::shared().iconForFile("/Applications/" + named + ".app");
    }
    cache.set(named, icon);
    return icon;
}

std::optional<URL> FileIconManager::firstIconFile(const URL& folder) {
    auto enumerator =
        FileManager::defaultManager().enumerator(folder, FileManager::skipsPackageDescendants | FileManager::skipsHiddenFiles);
    if (!enumerator) return std::nullopt;
    while (auto url = enumerator->nextObject()) {
        if (endsWith(url->lastPathComponent(), ".icns")) return url;
    }
    return std::nullopt;
}

}  // namespace RarAvi
