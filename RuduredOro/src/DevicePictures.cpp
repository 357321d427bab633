// Pictures and symbol images of battery devices.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Bundle.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/PropertyList.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/URL.hpp"
#include "RarAvi/Devices.hpp"
#include "RuduredOro/BatteryDevice.hpp"
#include "RuduredOro/Resources.hpp"
#include "Text.hpp"
#include "ZuzeDiv/Images.hpp"

namespace fs = std::filesystem;

namespace RuduredOro {

namespace {

bool atLeastMacOS12() { return ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0}); }

/// The image resource of that name in a bundle: the file of that name, else the name with one of
/// the usual image extensions added.
std::shared_ptr<NSImage> imageResource(const Bundle& bundle, const std::string& name) {
    if (name.empty()) return nullptr;
    for (const char* extension : {"", "icns", "png", "tiff"}) {
        auto path = bundle.pathForResource(name, extension);
        std::error_code error;
        if (path && fs::is_regular_file(*path, error)) {
            if (auto image = NSImage::contentsOfFile(path->string())) return image;
        }
    }
    return nullptr;
}

/// The bundle at an absolute system path, under the system root; empty when there is no such
/// folder.
std::shared_ptr<Bundle> systemBundle(const std::string& path) {
    // Through a file URL and back, as the system's own lookups do: this tidies the path.
    auto tidy = URL::fileURLWithPath(path).path();
    return Bundle::atPath(SystemRoot::resolve(tidy));
}

/// One of the module's own pictures (SVG artwork in its bundle).
std::shared_ptr<NSImage> artwork(const std::string& name) {
    auto path = Resources::bundle()->pathForResource(name, "svg");
    return path ? NSImage::contentsOfFile(path->string()) : nullptr;
}

/// The system's picture, or else the module's artwork.
std::shared_ptr<NSImage> systemOrArtwork(std::shared_ptr<NSImage> system, const std::string& artworkName) {
    return system ? system : artwork(artworkName);
}

/// Folders whose insides a walk of the system's files does not enter: they are packages, opaque
/// units of their own.
bool isPackage(const fs::path& path) {
    static const std::array<std::string_view, 9> extensions{".app",  ".bundle", ".framework", ".plugin", ".prefPane",
                                                            ".kext", ".xpc",    ".appex",     ".component"};
    auto extension = path.extension().string();
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

/// The files and folders under `folder`, depth first, each folder's entries in name order; hidden
/// entries are left out and packages are listed but not entered. Empty when the folder cannot be
/// read at all; subfolders that cannot be read are passed over.
std::optional<std::vector<fs::path>> walk(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) return std::nullopt;
    std::vector<fs::path> names;
    for (const auto& entry : entries) {
        if (entry.path().filename().string().starts_with(".")) continue;
        names.push_back(entry.path());
    }
    std::sort(names.begin(), names.end());
    std::vector<fs::path> found;
    for (const auto& path : names) {
        found.push_back(path);
        // Links to folders are not followed, so that a link cannot lead the walk round in a circle.
        auto status = fs::symlink_status(path, error);
        if (!error && fs::is_directory(status) && !isPackage(path)) {
            if (auto inside = walk(path)) found.insert(found.end(), inside->begin(), inside->end());
        }
    }
    return found;
}

/// A whole number in hexadecimal digits, with an optional leading sign; empty for any other text
/// (no digits, another character, too large).
std::optional<std::int64_t> hexadecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : std::numeric_limits<std::int64_t>::max();
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (magnitude > (limit - static_cast<std::uint64_t>(digit)) / 16) return std::nullopt;
        magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
    }
    if (!negative) return static_cast<std::int64_t>(magnitude);
    return magnitude == (std::uint64_t{1} << 63) ? std::numeric_limits<std::int64_t>::min()
                                                  : -static_cast<std::int64_t>(magnitude);
}

/// The key of a product in the Bluetooth resources: "0x" and at least four upper-case hexadecimal
/// digits of the id read as a 32-bit unsigned number, as the system's own formatting reads it.
std::string productKey(std::int64_t productId) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(static_cast<std::uint32_t>(productId)));
    return text;
}

/// The product picture, remembering the products already followed through "Clone" entries so
/// that a chain that comes back to one of them ends.
std::shared_ptr<NSImage> productImage(std::int64_t productId, std::set<std::int64_t>& followed) {
    followed.insert(productId);
    auto files = walk(SystemRoot::resolve(BatteryDevice::bluetoothResourcesPath));
    if (!files) return nullptr;
    const auto key = productKey(productId);
    for (const auto& file : *files) {
        if (!file.filename().string().ends_with(".plist")) continue;
        // Files that are no property list (or no regular file of a property list's size), or whose
        // top level is no dictionary, are passed over.
        auto list = PropertyListSerialization::propertyList(file.string(), nullptr);
        if (!list || !list->isDictionary()) continue;
        const auto* entry = list->find(key);
        if (!entry || !entry->isDictionary()) continue;

        if (const auto* clone = entry->find("Clone"); clone && clone->isString()) {
            std::string_view text;
            auto lower = lowercased(*clone->stringValue());
            text = lower;
            if (text.starts_with("0x")) text.remove_prefix(2);
            auto target = hexadecimal(text);
            if (!target) continue;
            if (followed.contains(*target)) return nullptr;
            return productImage(*target, followed);
        }

        const auto* imageName = entry->find("ImageName");
        const auto* bundlePath = entry->find("Bundle");
        if (!imageName || !imageName->isString() || !bundlePath || !bundlePath->isString()) continue;
        auto bundle = systemBundle(*bundlePath->stringValue());
        if (!bundle) return nullptr;
        return imageResource(*bundle, *imageName->stringValue());
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<NSImage> BatteryDevice::imageInBundle(const std::string& path, const std::string& resource) {
    auto bundle = systemBundle(path);
    return bundle ? imageResource(*bundle, resource) : nullptr;
}

std::shared_ptr<NSImage> BatteryDevice::bluetoothImage() {
    return systemOrArtwork(imageInBundle(bluetoothResourcesPath, "Bluetooth.icns"), "Bluetooth");
}

std::shared_ptr<NSImage> BatteryDevice::headphonesImage() {
    return systemOrArtwork(ZuzeDiv::Images::systemSymbol("headphones"), "Headphones");
}

std::shared_ptr<NSImage> BatteryDevice::speakersImage() { return imageInBundle(bluetoothResourcesPath, "GenericSpeakers.png"); }

std::shared_ptr<NSImage> BatteryDevice::keyboardImage() {
    return systemOrArtwork(imageInBundle(keyboardPanePath, "Keyboard.icns"), "Keyboard");
}

std::shared_ptr<NSImage> BatteryDevice::mouseImage() {
    return systemOrArtwork(imageInBundle(mousePanePath, "Mouse.icns"), "Mouse");
}

std::shared_ptr<NSImage> BatteryDevice::trackpadImage() {
    return systemOrArtwork(imageInBundle(trackpadPanePath, "Trackpad.icns"), "Trackpad");
}

std::shared_ptr<NSImage> BatteryDevice::productImage(std::int64_t productId) const {
    std::set<std::int64_t> followed;
    return RuduredOro::productImage(productId, followed);
}

std::shared_ptr<NSImage> BatteryDevice::image() const {
    if (productId_) {
        if (auto picture = productImage(*productId_)) return picture;
    }
    if (internalName_) {
        // A catalogued model decides, also when it has no icon.
        if (auto model = RarAvi::Devices::device(*internalName_)) return model->icon();
    }
    switch (type_) {
        case DeviceType::keyboard:
            return keyboardImage();
        case DeviceType::mouse:
            return mouseImage();
        case DeviceType::trackpad:
            return trackpadImage();
        case DeviceType::headset:
        case DeviceType::headphones:
            return headphonesImage();
        default:
            return nullptr;
    }
}

std::shared_ptr<NSImage> BatteryDevice::symbolName() const {
    const bool modern = atLeastMacOS12();
    auto either = [modern](const char* fromMacOS12, const char* before) { return modern ? fromMacOS12 : before; };
    auto name = lowercased(name_);
    auto contains = [&name](const char* word) { return name.find(word) != std::string::npos; };

    const char* symbol = nullptr;
    switch (type_) {
        case DeviceType::keyboard:
            symbol = "keyboard";
            break;
        case DeviceType::mouse:
            symbol = either("magicmouse", "cursorarrow");
            break;
        case DeviceType::trackpad:
            symbol = "rectangle";
            break;
        case DeviceType::headphones:
        case DeviceType::headset:
            symbol = "headphones";
            break;
        case DeviceType::chargingCase:
            symbol = contains("pro") ? either("airpodspro.chargingcase.wireless", "bolt.fill")
                                     : either("airpods.chargingcase", "bolt.fill");
            break;
        case DeviceType::lowEnergy:
            symbol = "dot.radiowaves.right";
            break;
        case DeviceType::undefined:
            if (contains("airpods2")) {
                symbol = either("airpods.chargingcase", "bolt.fill");
            } else if (contains("airpods") && contains("pro")) {
                symbol = either("airpodspro", "airpods");
            } else if (contains("airpods") && contains("max")) {
                symbol = either("airpodsmax", "headphones");
            } else if (contains("airpods")) {
                symbol = "airpods";
            } else if (contains("beats") && contains("solo")) {
                symbol = either("beats.headphones", "headphones");
            } else if (contains("beats") && contains("power")) {
                symbol = either("beats.powerbeats", "headphones");
            } else if (contains("magic") && contains("mouse")) {
                symbol = either("magicmouse", "cursorarrow");
            } else {
                symbol = "dot.radiowaves.right";
            }
            break;
    }
    return ZuzeDiv::Images::systemSymbol(symbol);
}

}  // namespace RuduredOro
