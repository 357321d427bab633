// The workspace's icons of files, types and applications: from the desktop's icon theme by
// content type (shared-mime-info's icon names) and, for applications, by their desktop entry's
// Icon key. Where the theme has none, our own generic artwork stands in.
#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PropertyList.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "UniformTypeIdentifiers/backends/SharedMimeInfo.hpp"
#include "backends/IconTheme.hpp"

namespace {
constexpr CGSize iconSize{32, 32};

const char* const documentArtwork = R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
<path d="M7 2.5h12.5l6.5 6.5v20.5h-19z" fill="#fbfbfb" stroke="#9a9a9a"/>
<path d="M19.5 2.5v6.5h6.5" fill="#e2e2e2" stroke="#9a9a9a" stroke-linejoin="round"/>
<path d="M10 14h12M10 18h12M10 22h8" stroke="#c4c4c4" stroke-width="1.5"/>
</svg>)";

const char* const folderArtwork = R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
<path d="M2.5 7.5a2 2 0 0 1 2-2h7l3 3h13a2 2 0 0 1 2 2v15a2 2 0 0 1-2 2h-23a2 2 0 0 1-2-2z" fill="#5aa9e6" stroke="#3a86c4"/>
<path d="M2.5 11.5h27v14a2 2 0 0 1-2 2h-23a2 2 0 0 1-2-2z" fill="#7cc0f2" stroke="#3a86c4"/>
</svg>)";

const char* const applicationArtwork = R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
<rect x="3.5" y="3.5" width="25" height="25" rx="6" fill="#8e9aaf" stroke="#5f6b80"/>
<path d="M16 8l7 16h-3l-1.5-3.5h-5l-1.5 3.5h-3zM14.5 18h3l-1.5-4z" fill="#ffffff"/>
</svg>)";

std::shared_ptr<NSImage> artwork(const char* svg) {
    auto image = NSImage::fromData(dataFromString(svg));
    image->setSize(iconSize);
    return image;
}

std::shared_ptr<NSImage> asIcon(const std::shared_ptr<NSImage>& image) {
    if (!image) return nullptr;
    auto icon = image->copy();
    icon->setSize(iconSize);
    return icon;
}

// The theme's icon of the first name it has, else nullptr.
std::shared_ptr<NSImage> themed(const std::vector<std::string>& names) {
    auto file = IconTheme::lookup(names, static_cast<int>(iconSize.width));
    return file ? asIcon(NSImage::contentsOfFile(FileManager::hostPath(*file))) : nullptr;
}

std::shared_ptr<NSImage> themedOr(const std::vector<std::string>& names, const char* svg) {
    if (auto icon = themed(names)) return icon;
    static std::mutex mutex;
    static std::map<const char*, std::shared_ptr<NSImage>> drawn;
    std::lock_guard lock(mutex);
    auto& image = drawn[svg];
    if (!image) image = artwork(svg);
    return image->copy();
}

std::shared_ptr<NSImage> documentIcon() { return themedOr({"application-x-generic", "text-x-generic"}, documentArtwork); }
std::shared_ptr<NSImage> folderIcon() { return themedOr({"folder"}, folderArtwork); }
std::shared_ptr<NSImage> applicationIcon() { return themedOr({"application-x-executable"}, applicationArtwork); }

// The icon a desktop entry names: a file, or a name in the theme (older entries give the name
// with its file ending).
std::shared_ptr<NSImage> entryIcon(const DesktopEntry& entry) {
    if (!entry.icon) return nullptr;
    std::string icon = *entry.icon;
    if (icon.front() == '/') return asIcon(NSImage::contentsOfFile(FileManager::hostPath(icon)));
    for (const char* ending : {".png", ".svg", ".xpm"}) {
        if (icon.size() > 4 && icon.compare(icon.size() - 4, 4, ending) == 0) icon.resize(icon.size() - 4);
    }
    return themed({icon});
}

// Icon names of kinds that have no MIME type of their own.
std::vector<std::string> familyIconNames(const std::function<bool(const UTType&)>& is) {
    if (is(UTType::image())) return {"image-x-generic"};
    if (is(UTType::audio())) return {"audio-x-generic"};
    if (is(UTType::movie())) return {"video-x-generic"};
    if (is(UTType::archive())) return {"package-x-generic"};
    if (is(UTType::text())) return {"text-x-generic"};
    return {};
}

bool isImageExtension(const std::string& extension) {
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "icns" || lower == "svg") return true;
    auto type = UTType::fromFilenameExtension(lower);
    return type && type->conforms(UTType::image());
}

// The icon file an application bundle names in its information property list.
std::shared_ptr<NSImage> bundleIcon(const std::string& bundlePath) {
    auto info = PropertyListSerialization::propertyList(FileManager::hostPath(bundlePath + "/Contents/Info.plist"), nullptr);
    const PropertyListValue* file = info ? info->find("CFBundleIconFile") : nullptr;
    if (!file || !file->stringValue() || file->stringValue()->empty()) return nullptr;
    std::string name = *file->stringValue();
    if (URL::fileURLWithPath("/" + name).pathExtension().empty()) name += ".icns";
    return asIcon(NSImage::contentsOfFile(FileManager::hostPath(bundlePath + "/Contents/Resources/" + name)));
}
}  // namespace

std::shared_ptr<NSImage> NSWorkspace::iconForFile(const std::string& path) const {
    bool folder = false;
    if (!FileManager::defaultManager().fileExists(path, &folder)) return documentIcon();
    const URL url = URL::fileURLWithPath(path, folder);
    if (folder) {
        if (url.pathExtension() == "app") {
            if (auto icon = bundleIcon(url.path())) return icon;
            return applicationIcon();
        }
        return folderIcon();
    }
    if (url.pathExtension() == "desktop") {
        if (auto entry = DesktopEntry::atPath(path)) {
            if (auto icon = entryIcon(*entry)) return icon;
            return applicationIcon();
        }
    }
    if (isImageExtension(url.pathExtension())) {
        if (auto icon = asIcon(NSImage::contentsOfFile(FileManager::hostPath(path)))) return icon;
    }
    if (auto type = UTType::ofFile(URL::fileURLWithPath(FileManager::hostPath(path)))) return iconForContentType(*type);
    return documentIcon();
}

std::shared_ptr<NSImage> NSWorkspace::iconForContentType(const UTType& type) const {
    const auto kinds = type.supertypes();
    auto is = [&](const UTType& kind) { return type == kind || std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); };
    if (is(UTType::application())) return applicationIcon();
    if (is(UTType::folder()) || is(UTType::directory())) return folderIcon();
    std::vector<std::string> names;
    if (auto mimeType = type.preferredMIMEType()) names = SharedMimeInfo::iconNames(*mimeType);
    for (auto& name : familyIconNames(is)) names.push_back(std::move(name));
    if (auto icon = themed(names)) return icon;
    return documentIcon();
}

std::shared_ptr<NSImage> NSWorkspace::iconForFileType(const std::string& fileExtension) const {
    if (auto type = UTType::fromFilenameExtension(fileExtension)) return iconForContentType(*type);
    return documentIcon();
}
