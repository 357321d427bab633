#include "RuduredOro/BluetoothFinder.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <string_view>
#include <unordered_set>

#include "Foundation/ProcessInfo.hpp"
#include "IOKit/IOKitLib.hpp"
#include "RuduredOro/Manufacturers.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Text.hpp"

namespace RuduredOro {

namespace {

/// A text value as it is held, without a copy; nullptr for no value or another kind.
const std::string* textOf(const CFValue* value) { return value ? std::get_if<std::string>(&value->storage()) : nullptr; }

/// The properties a device is made from, found in one walk through a service's dictionary.
struct ServiceValues {
    const CFValue* address = nullptr;
    const CFValue* percent = nullptr;
    const CFValue* transport = nullptr;
    const CFValue* vendor = nullptr;
    const CFValue* product = nullptr;
    const CFValue* name = nullptr;
    const CFValue* behavior = nullptr;

    explicit ServiceValues(const CFDictionary& properties) {
        for (const auto& [key, value] : properties) {
            const auto* text = textOf(&key);
            if (auto field = text ? fieldFor(*text) : nullptr) this->*field = &value;
        }
    }

    /// The field a key fills; none for a key not read. The length is told first, so that a key
    /// is compared at most twice, each time with a comparison of known size.
    static const CFValue* ServiceValues::*fieldFor(std::string_view key) {
        switch (key.size()) {
            case 13: return key == "DeviceAddress" ? &ServiceValues::address : nullptr;
            case 14: return key == "BatteryPercent" ? &ServiceValues::percent : nullptr;
            case 9:
                return key == "Transport"   ? &ServiceValues::transport
                       : key == "ProductID" ? &ServiceValues::product
                                            : nullptr;
            case 8: return key == "VendorID" ? &ServiceValues::vendor : nullptr;
            case 7: return key == "Product" ? &ServiceValues::name : nullptr;
            case 18: return key == "HIDDefaultBehavior" ? &ServiceValues::behavior : nullptr;
            default: return nullptr;
        }
    }
};

/// Hashes a device's serial without regard to letter case; an ASCII serial (an address) without
/// making its lower-case text. Devices equal by their serials hash alike: an ASCII letter hashes
/// as its lower case (setting 0x20 folds the two cases together, and only a few signs with them).
struct SerialTextHash {
    std::size_t operator()(const BatteryDevice* device) const {
        const auto& serial = device->serial();
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        unsigned char all = 0;
        for (char c : serial) {
            auto byte = static_cast<unsigned char>(c);
            all |= byte;
            hash = (hash ^ (byte | 0x20u)) * 1099511628211ull;
        }
        if (all < 0x80) return static_cast<std::size_t>(hash);
        hash = 14695981039346656037ull;
        for (char c : lowercased(serial)) hash = (hash ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
        return static_cast<std::size_t>(hash);
    }
};

}  // namespace

const std::vector<std::string>& Planes::classNames() {
    static const std::vector<std::string> names{
        "AppleDeviceManagementHIDEventService", "IOAppleBluetoothHIDDriver", "AppleBluetoothHIDKeyboard",
        "AppleHSBluetoothDevice",               "BNBTrackpadDevice",         "BNBMouseDevice",
    };
    return names;
}

std::optional<std::vector<CFDictionary>> serviceProperties(const std::string& className) {
    mach_port_t port = ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0}) ? kIOMainPortDefault : kIOMasterPortDefault;
    io_iterator_t iterator = 0;
    if (IOServiceGetMatchingServices(port, IOServiceMatching(className.c_str()), &iterator) != KERN_SUCCESS) {
        return std::nullopt;
    }
    std::vector<CFDictionary> result;
    for (;;) {
        io_service_t service = IOIteratorNext(iterator);
        CFMutableDictionaryRef properties;
        if (IORegistryEntryCreateCFProperties(service, &properties, kCFAllocatorDefault, 0) != KERN_SUCCESS || !properties) {
            IOObjectRelease(service);
            if (service == 0) break;  // the iterator is exhausted
            continue;
        }
        result.push_back(std::move(*properties));
        IOObjectRelease(service);
    }
    IOObjectRelease(iterator);
    if (result.empty()) return std::nullopt;
    return result;
}

void BluetoothFinder::refresh() {
    devices_.clear();
    devices_ = find();
}

std::vector<std::shared_ptr<BatteryDevice>> BluetoothFinder::find() {
    // The devices kept so far, by serial; the set lives for this search only, in an arena that
    // starts on the stack.
    std::array<std::byte, 8192> start;
    std::pmr::monotonic_buffer_resource arena(start.data(), start.size());
    using Seen = std::pmr::unordered_set<const BatteryDevice*, SerialTextHash, BatteryDevice::SerialEqual>;
    Seen seen(&arena);
    std::vector<std::shared_ptr<BatteryDevice>> result;
    for (const auto& className : Planes::classNames()) {
        auto devices = findDevices(className);
        result.reserve(result.size() + devices.size());
        seen.reserve(seen.size() + devices.size());
        for (auto& device : devices) {
            if (seen.insert(device.get()).second) result.push_back(std::move(device));
        }
    }
    return result;
}

std::vector<std::shared_ptr<BatteryDevice>> BluetoothFinder::findDevices(const std::string& className) {
    std::vector<std::shared_ptr<BatteryDevice>> devices;
    auto dictionaries = serviceProperties(className);
    if (!dictionaries) return devices;
    devices.reserve(dictionaries->size());
    for (const auto& properties : *dictionaries) {
        ServiceValues values(properties);
        const auto* address = textOf(values.address);
        auto percent = values.percent ? values.percent->numberValue() : std::nullopt;
        const auto* transport = textOf(values.transport);
        auto vendor = values.vendor ? values.vendor->numberValue() : std::nullopt;
        auto product = values.product ? values.product->intValue() : std::nullopt;
        const auto* name = textOf(values.name);
        if (!address || !percent || !transport || !vendor || !product || !name || name->empty()) continue;

        auto type = deviceType(properties, textOf(values.behavior));
        auto device = std::make_shared<SingleBatteryDevice>(type, *name, *percent, *address);
        device->setProductId(*product);
        device->setIsCharging(*transport == "USB");
        auto manufacturer = Manufacturers::names().find(vendor->uint16Value());
        if (manufacturer != Manufacturers::names().end()) device->setManufacturer(manufacturer->second);
        devices.push_back(std::move(device));
    }
    return devices;
}

DeviceType BluetoothFinder::deviceType(const CFDictionary& properties, const std::string* behavior) const {
    if (behavior) {
        if (auto type = DeviceType::from(*behavior)) return *type;
    }
    auto anyValue = [&](auto&& matches) {
        for (const auto& [key, value] : properties) {
            if (const auto* text = textOf(&value); text && matches(*text)) return true;
        }
        return false;
    };
    if (anyValue([&](const std::string& text) { return text == mouseIdentifier; })) return DeviceType::mouse;
    if (anyValue([&](const std::string& text) { return text == mouseIdentifierUsb; })) return DeviceType::mouse;
    if (anyValue([&](const std::string& text) { return text == keyboardIdentifier; })) return DeviceType::keyboard;
    if (anyValue([](const std::string& text) { return lowercased(text).find("keyboard") != std::string::npos; })) {
        return DeviceType::keyboard;
    }
    for (const auto& [key, value] : properties) {
        if (const auto* text = textOf(&key); text && lowercased(*text).find("keyboard") != std::string::npos) {
            return DeviceType::keyboard;
        }
    }
    return DeviceType::trackpad;
}

}  // namespace RuduredOro
