// The workspace's icons of files and types, showing files in the file viewer, and the running
// applications. The generic icons are our own artwork.
#include <unistd.h>

#include <algorithm>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PropertyList.hpp"

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

std::shared_ptr<NSImage> documentIcon() {
    static const auto image = artwork(documentArtwork);
    return image->copy();
}
std::shared_ptr<NSImage> folderIcon() {
    static const auto image = artwork(folderArtwork);
    return image->copy();
}
std::shared_ptr<NSImage> applicationIcon() {
    static const auto image = artwork(applicationArtwork);
    return image->copy();
}

std::shared_ptr<NSImage> asIcon(const std::shared_ptr<NSImage>& image) {
    if (!image) return nullptr;
    auto icon = image->copy();
    icon->setSize(iconSize);
    return icon;
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
    if (isImageExtension(url.pathExtension())) {
        if (auto icon = asIcon(NSImage::contentsOfFile(FileManager::hostPath(path)))) return icon;
    }
    return documentIcon();
}

std::shared_ptr<NSImage> NSWorkspace::iconForContentType(const UTType& type) const {
    if (type.conforms(UTType::application())) return applicationIcon();
    if (type.conforms(UTType::folder()) || type.conforms(UTType::directory())) return folderIcon();
    return documentIcon();
}

std::shared_ptr<NSImage> NSWorkspace::iconForFileType(const std::string& fileExtension) const {
    if (auto type = UTType::fromFilenameExtension(fileExtension)) return iconForContentType(*type);
    return documentIcon();
}

bool NSWorkspace::selectFile(const std::optional<std::string>& path, const std::string& rootFullPath) {
    if (path && !FileManager::defaultManager().fileExists(*path)) return false;
    std::function<bool(const std::string&, const std::string&)> viewer;
    {
        std::lock_guard lock(mutex_);
        viewer = fileViewer_;
    }
    if (viewer) return viewer(path.value_or(""), rootFullPath);
    std::string folder = rootFullPath;
    if (folder.empty() && path) folder = URL::fileURLWithPath(*path).deletingLastPathComponent().path();
    if (folder.empty()) return false;
    return open(URL::fileURLWithPath(FileManager::hostPath(folder), true));
}

void NSWorkspace::setFileViewer(std::function<bool(const std::string& path, const std::string& root)> viewer) {
    std::lock_guard lock(mutex_);
    fileViewer_ = std::move(viewer);
}

std::vector<std::shared_ptr<NSRunningApplication>> NSWorkspace::runningApplications() const {
    std::lock_guard lock(mutex_);
    if (runningApplications_) return *runningApplications_;
    return {NSRunningApplication::current()};
}

void NSWorkspace::setRunningApplications(const std::optional<std::vector<std::shared_ptr<NSRunningApplication>>>& applications) {
    std::lock_guard lock(mutex_);
    runningApplications_ = applications;
}

std::shared_ptr<NSRunningApplication> NSRunningApplication::current() {
    auto bundle = Bundle::main();
    return std::make_shared<NSRunningApplication>(bundle->bundleIdentifier(), bundle->executableName(), static_cast<int>(::getpid()));
}
