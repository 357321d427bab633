#include "BluezDevices.hpp"

#include <chrono>
#include <map>

#include "Foundation/backends/DBusConnection.hpp"
#include "IOKit/backends/BluetoothIdentity.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto answerTimeout = 2s;
constexpr const char* bluez = "org.bluez";
constexpr const char* manufacturerNameUUID = "00002a29-0000-1000-8000-00805f9b34fb";

using Properties = std::map<std::string, sdbus::Variant>;
using Interfaces = std::map<std::string, Properties>;
using Objects = std::map<sdbus::ObjectPath, Interfaces>;

template <class T>
std::optional<T> value(const Interfaces& interfaces, const char* interface, const char* name) {
    auto found = interfaces.find(interface);
    if (found == interfaces.end()) return std::nullopt;
    auto property = found->second.find(name);
    if (property == found->second.end() || !property->second.containsValueOfType<T>()) return std::nullopt;
    return property->second.get<T>();
}

/// The Manufacturer Name String that BlueZ holds, by the object path of its device.
std::map<std::string, std::string> manufacturerNames(const Objects& objects) {
    std::map<std::string, std::string> names;
    for (const auto& [path, interfaces] : objects) {
        if (value<std::string>(interfaces, "org.bluez.GattCharacteristic1", "UUID") != manufacturerNameUUID) continue;
        auto service = value<sdbus::ObjectPath>(interfaces, "org.bluez.GattCharacteristic1", "Service");
        auto bytes = value<std::vector<std::uint8_t>>(interfaces, "org.bluez.GattCharacteristic1", "Value");
        if (!service || !bytes || bytes->empty()) continue;
        auto owner = objects.find(*service);
        if (owner == objects.end()) continue;
        auto device = value<sdbus::ObjectPath>(owner->second, "org.bluez.GattService1", "Device");
        std::string text(bytes->begin(), bytes->end());
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        if (device && !text.empty()) names.emplace(*device, text);
    }
    return names;
}

}  // namespace

std::vector<BluezDevice> readBluezDevices() {
    auto connection = DBusConnection::system();
    // Asking an absent BlueZ would start it where the system starts services on demand.
    if (!connection || !DBusConnection::hasOwner(*connection, bluez, answerTimeout)) return {};
    Objects objects;
    try {
        sdbus::createProxy(*connection, bluez, "/")
            ->callMethod("GetManagedObjects")
            .onInterface("org.freedesktop.DBus.ObjectManager")
            .withTimeout(answerTimeout)
            .storeResultsTo(objects);
    } catch (const sdbus::Error&) {
        return {};
    }
    auto manufacturers = manufacturerNames(objects);
    std::vector<BluezDevice> devices;
    for (const auto& [path, interfaces] : objects) {
        auto address = value<std::string>(interfaces, "org.bluez.Device1", "Address");
        if (!address || address->empty()) continue;
        BluezDevice device{canonicalBluetoothAddress(*address),
                           value<std::uint16_t>(interfaces, "org.bluez.Device1", "Appearance"),
                           value<std::uint32_t>(interfaces, "org.bluez.Device1", "Class"),
                           value<std::string>(interfaces, "org.bluez.Device1", "Icon"), std::nullopt};
        if (auto maker = manufacturers.find(path); maker != manufacturers.end()) device.manufacturer = maker->second;
        devices.push_back(std::move(device));
    }
    return devices;
}
