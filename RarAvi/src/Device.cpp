#include "RarAvi/Device.hpp"

#include <filesystem>

#include "Foundation/Bundle.hpp"
#include "Foundation/SystemRoot.hpp"

namespace RarAvi {

namespace {

// The bundle's image resource of that name: the file of that name, else the name with one of the
// usual image extensions added.
std::shared_ptr<NSImage> imageResource(const Bundle& bundle, const std::string& name) {
    if (name.empty()) return nullptr;
    for (const char* extension : {"", "icns", "png", "tiff"}) {
        auto path = bundle.pathForResource(name, extension);
        std::error_code error;
        if (path && std::filesystem::is_regular_file(*path, error)) return NSImage::contentsOfFile(path->string());
    }
    return nullptr;
}

}  // namespace

Device::Device(std::string name, std::string shortName, std::optional<std::string> iconName)
    : name_(std::move(name)), shortName_(std::move(shortName)), iconName_(std::move(iconName)) {}

std::shared_ptr<NSImage> Device::icon() const {
    auto name = iconName();
    if (!name) return nullptr;
    auto bundle = Bundle::atPath(SystemRoot::resolve(iconBundlePath));
    if (!bundle) return nullptr;
    return imageResource(*bundle, *name);
}

}  // namespace RarAvi
