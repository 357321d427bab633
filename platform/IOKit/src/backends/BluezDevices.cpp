#include "BluezDevices.hpp"

#include <limits>
#include <map>

#include "IOKit/backends/BluetoothIdentity.hpp"
#include "IOKit/backends/BluezObjects.hpp"

namespace {

constexpr const char* manufacturerNameUUID = "00002a29-0000-1000-8000-00805f9b34fb";

template <class T>
const T* value(const bluez::Interfaces& interfaces, const char* interface, const char* name) {
    const auto* properties = bluez::interfaceOf(interfaces, interface);
    return properties ? bluez::property<T>(*properties, name) : nullptr;
}

template <class T>
std::optional<T> number(const bluez::Interfaces& interfaces, const char* name) {
    const auto* found = value<std::int64_t>(interfaces, bluez::deviceInterface, name);
    if (!found || *found < 0 || *found > static_cast<std::int64_t>(std::numeric_limits<T>::max())) return std::nullopt;
    return static_cast<T>(*found);
}

std::optional<std::string> text(const bluez::Interfaces& interfaces, const char* interface, const char* name) {
    const auto* found = value<std::string>(interfaces, interface, name);
    return found ? std::optional(*found) : std::nullopt;
}

/// The Manufacturer Name String that BlueZ holds, by the object path of its device.
std::map<std::string, std::string> manufacturerNames(const bluez::Objects& objects) {
    std::map<std::string, std::string> names;
    for (const auto& [path, interfaces] : objects) {
        if (text(interfaces, bluez::gattCharacteristicInterface, "UUID") != manufacturerNameUUID) continue;
        auto service = text(interfaces, bluez::gattCharacteristicInterface, "Service");
        const auto* bytes = value<Data>(interfaces, bluez::gattCharacteristicInterface, "Value");
        if (!service || !bytes || bytes->empty()) continue;
        auto owner = objects.find(*service);
        if (owner == objects.end()) continue;
        auto device = text(owner->second, bluez::gattServiceInterface, "Device");
        std::string name(bytes->begin(), bytes->end());
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        if (device && !name.empty()) names.emplace(*device, name);
    }
    return names;
}

}  // namespace

std::vector<BluezDevice> readBluezDevices() {
    std::vector<BluezDevice> devices;
    BluezObjects::shared().read([&](bluez::Presence, const bluez::Objects& objects) {
        auto manufacturers = manufacturerNames(objects);
        for (const auto& [path, interfaces] : objects) {
            auto address = text(interfaces, bluez::deviceInterface, "Address");
            if (!address || address->empty()) continue;
            BluezDevice device{canonicalBluetoothAddress(*address), number<std::uint16_t>(interfaces, "Appearance"),
                               number<std::uint32_t>(interfaces, "Class"),
                               text(interfaces, bluez::deviceInterface, "Icon"), std::nullopt};
            if (auto maker = manufacturers.find(path); maker != manufacturers.end()) device.manufacturer = maker->second;
            devices.push_back(std::move(device));
        }
    });
    return devices;
}
