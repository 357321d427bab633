#include "RuduredOro/BluetoothFinder.hpp"

#include "Foundation/ProcessInfo.hpp"
#include "IOKit/IOKitLib.hpp"
#include "RuduredOro/Manufacturers.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Text.hpp"

namespace RuduredOro {

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
    // The devices kept so far: one whose serial differs only in letter case is one of them.
    BatteryDeviceSet seen;
    std::vector<std::shared_ptr<BatteryDevice>> result;
    for (const auto& className : Planes::classNames()) {
        for (auto& device : findDevices(className)) {
            if (seen.insert(device).second) result.push_back(std::move(device));
        }
    }
    return result;
}

std::vector<std::shared_ptr<BatteryDevice>> BluetoothFinder::findDevices(const std::string& className) {
    std::vector<std::shared_ptr<BatteryDevice>> devices;
    auto dictionaries = serviceProperties(className);
    if (!dictionaries) return devices;
    for (const auto& properties : *dictionaries) {
        auto text = [&](const char* key) {
            auto value = properties.find(key);
            return value ? value->stringValue() : std::nullopt;
        };
        auto number = [&](const char* key) {
            auto value = properties.find(key);
            return value ? value->numberValue() : std::nullopt;
        };
        auto address = text("DeviceAddress");
        auto percent = number("BatteryPercent");
        auto transport = text("Transport");
        auto vendor = number("VendorID");
        auto productValue = properties.find("ProductID");
        auto product = productValue ? productValue->intValue() : std::nullopt;
        auto name = text("Product");
        if (!address || !percent || !transport || !vendor || !product || !name || name->empty()) continue;

        auto device = std::make_shared<SingleBatteryDevice>(deviceType(properties), *name, *percent, *address);
        device->setProductId(*product);
        device->setIsCharging(*transport == "USB");
        auto manufacturer = Manufacturers::names().find(vendor->uint16Value());
        if (manufacturer != Manufacturers::names().end()) device->setManufacturer(manufacturer->second);
        devices.push_back(std::move(device));
    }
    return devices;
}

DeviceType BluetoothFinder::deviceType(const CFDictionary& properties) const {
    if (auto behavior = properties.find("HIDDefaultBehavior")) {
        if (auto text = behavior->stringValue()) {
            if (auto type = DeviceType::from(*text)) return *type;
        }
    }
    auto anyValue = [&](auto&& matches) {
        for (const auto& [key, value] : properties) {
            if (auto text = value.stringValue(); text && matches(*text)) return true;
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
        if (auto text = key.stringValue(); text && lowercased(*text).find("keyboard") != std::string::npos) {
            return DeviceType::keyboard;
        }
    }
    return DeviceType::trackpad;
}

}  // namespace RuduredOro
