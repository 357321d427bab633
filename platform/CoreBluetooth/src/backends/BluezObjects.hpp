#pragma once
// BlueZ's objects as plain values: the object tree that its object manager publishes (object
// path, interface, property), kept up to date from its signals, and the adapters, devices and
// GATT attributes read from it. The BlueZ stack and the system_profiler stand-in share this.
//
// Values are converted out of sdbus::Variant as they arrive, so that the tree can be read from any
// thread under its owner's lock.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "CoreBluetooth/CBUUID.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/UUID.hpp"

namespace bluez {

inline constexpr const char* service = "org.bluez";
inline constexpr const char* adapterInterface = "org.bluez.Adapter1";
inline constexpr const char* deviceInterface = "org.bluez.Device1";
inline constexpr const char* batteryInterface = "org.bluez.Battery1";
inline constexpr const char* gattServiceInterface = "org.bluez.GattService1";
inline constexpr const char* gattCharacteristicInterface = "org.bluez.GattCharacteristic1";
inline constexpr const char* objectManagerInterface = "org.freedesktop.DBus.ObjectManager";
inline constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";

/// The property types BlueZ uses for what we read: booleans, integers of every width, texts and
/// object paths, arrays of texts, byte arrays. Other types are kept as "no value".
using Value = std::variant<std::monostate, bool, std::int64_t, std::string, std::vector<std::string>, Data>;
using Properties = std::map<std::string, Value>;
using Interfaces = std::map<std::string, Properties>;
/// By object path; the map keeps paths sorted, which is BlueZ's attribute order ("service000a" <
/// "service0010").
using Objects = std::map<std::string, Interfaces>;

using WireProperties = std::map<std::string, sdbus::Variant>;
using WireInterfaces = std::map<std::string, WireProperties>;
using WireObjects = std::map<sdbus::ObjectPath, WireInterfaces>;

Value valueOf(const sdbus::Variant& variant);
Properties propertiesOf(const WireProperties& properties);
Objects objectsOf(const WireObjects& objects);

/// InterfacesAdded: the interfaces are added to the object, or replace those of the same name.
void addInterfaces(Objects& objects, const std::string& path, const WireInterfaces& interfaces);
/// InterfacesRemoved: an object left without interfaces is gone.
void removeInterfaces(Objects& objects, const std::string& path, const std::vector<std::string>& interfaces);
/// PropertiesChanged on an interface the tree knows; changes to unknown objects are ignored.
void changeProperties(Objects& objects, const std::string& path, const std::string& interface,
                      const WireProperties& changed, const std::vector<std::string>& invalidated);

struct Adapter {
    std::string path;
    std::string address;
    std::optional<std::string> name;
    bool powered = false;
    bool discoverable = false;
    std::optional<std::string> modalias;
};

struct Device {
    std::string path;
    std::string adapter;
    std::string address;
    UUID identifier;
    std::optional<std::string> name;
    std::optional<std::string> alias;
    std::optional<std::string> modalias;
    std::optional<std::string> icon;
    bool paired = false;
    bool connected = false;
    bool servicesResolved = false;
    std::vector<CBUUID> uuids;
    /// "Percentage" of the device's Battery1, when BlueZ publishes one.
    std::optional<std::uint8_t> battery;
};

struct GattService {
    std::string path;
    std::string device;
    CBUUID uuid;
};

struct GattCharacteristic {
    std::string path;
    std::string service;
    CBUUID uuid;
};

/// The adapters, devices and GATT attributes of a tree, each list in path order. Objects that
/// lack what identifies them (an address, a UUID, their parent) are left out. Look-ups go through
/// indexes made with the snapshot, so that a question about one device costs the same however
/// many devices there are.
struct Snapshot {
    std::vector<Adapter> adapters;
    std::vector<Device> devices;
    std::vector<GattService> services;
    std::vector<GattCharacteristic> characteristics;

    static Snapshot of(const Objects& objects);

    const Adapter* adapter(const std::string& path) const;
    const Device* deviceAt(const std::string& path) const;
    /// The device with the identifier; of several (one per adapter) the first on a powered adapter.
    const Device* device(const UUID& identifier) const;
    const GattService* service(const std::string& path) const;
    const GattCharacteristic* characteristic(const std::string& path) const;
    /// The GATT services of the device at the path, and the characteristics of the service at
    /// the path, in path order.
    std::vector<const GattService*> servicesOf(const std::string& device) const;
    std::vector<const GattCharacteristic*> characteristicsOf(const std::string& service) const;
    bool anyAdapterPowered() const;
    /// Connected, with its services known, on a powered adapter.
    bool isUsable(const Device& device) const;

private:
    // Positions in the lists above.
    std::map<std::string, std::size_t> adapterAt_, deviceAt_, serviceAt_, characteristicAt_;
    std::map<UUID, std::size_t> deviceWith_;
    std::map<std::string, std::vector<std::size_t>> servicesOf_, characteristicsOf_;
};

/// Vendor and product of a modalias such as "usb:v1D6Bp0245d050A" or "bluetooth:v004Cp2014d0100".
struct Modalias {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
};
std::optional<Modalias> parseModalias(const std::string& text);
}  // namespace bluez
