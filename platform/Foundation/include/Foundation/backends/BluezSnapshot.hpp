#pragma once
// BlueZ, Linux's Bluetooth service, as its object manager publishes it on the system bus: the tree
// of its objects (object path, interface, property), and one typed snapshot of it: its adapters,
// its devices with what Device1 and Battery1 tell of them, and their GATT services and
// characteristics, UUIDs as BlueZ writes them. A snapshot is made once for each change of the
// objects (Foundation/backends/BluezObjects.hpp) and never changes; the registry's Bluetooth
// devices, the Bluetooth stack and the system_profiler stand-in all read it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>
#include <systemd/sd-bus.h>

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

/// The property types BlueZ uses for what we read: booleans, integers of every width, texts and
/// object paths, arrays of texts, byte arrays. Other types are kept as "no value".
using Value = std::variant<std::monostate, bool, std::int64_t, std::string, std::vector<std::string>, Data>;
using Properties = std::map<std::string, Value>;
using Interfaces = std::map<std::string, Properties>;
/// By object path; the map keeps paths sorted, which is BlueZ's attribute order ("service000a" <
/// "service0010").
using Objects = std::map<std::string, Interfaces>;

/// The sd-bus message that sdbus-c++'s message wraps, for the readers below.
sd_bus_message* wireOf(sdbus::Message& message);

/// BlueZ's messages read straight into the tree, keeping only the interfaces and properties that
/// a snapshot reads: the rest of what BlueZ tells (advertising data, signal strength, interfaces
/// of its own) is read past, however large, and costs nothing to keep, and a property of another
/// type than those a Value holds is kept as no value. Each reads its arguments from the message's
/// place (its first argument, for a message as it came) and throws sdbus::Error when they do not
/// read as BlueZ writes them, with a text that says which argument was expected and what the
/// message has in its place.
///
/// What one of BlueZ's signals changes in its objects.
struct InterfacesAdded {
    std::string path;
    Interfaces interfaces;
};
struct InterfacesRemoved {
    std::string path;
    std::vector<std::string> interfaces;
};
struct PropertiesChanged {
    std::string path;
    std::string interface;
    Properties changed;
    std::vector<std::string> invalidated;
};
using Change = std::variant<std::monostate, InterfacesAdded, InterfacesRemoved, PropertiesChanged>;
/// The change told by a signal, by its member: InterfacesAdded (oa{sa{sv}}) and InterfacesRemoved
/// (oas) of the object manager, PropertiesChanged (sa{sv}as) of an object. None for another
/// member, and for a change of nothing that a snapshot reads.
Change readChange(sd_bus_message* message);
/// The a{oa{sa{sv}}} of every object (GetManagedObjects).
Objects readObjects(sd_bus_message* message);

/// Makes the change in the tree (as the functions below do).
void apply(Objects& objects, Change change);
/// InterfacesAdded: the interfaces are added to the object, or replace those of the same name; no
/// object is made for none.
void addInterfaces(Objects& objects, const std::string& path, Interfaces interfaces);
/// InterfacesRemoved: an object left without interfaces is gone.
void removeInterfaces(Objects& objects, const std::string& path, const std::vector<std::string>& interfaces);
/// PropertiesChanged on an interface the tree knows; changes to unknown objects are ignored.
void changeProperties(Objects& objects, const std::string& path, const std::string& interface,
                      const Properties& changed, const std::vector<std::string>& invalidated);

/// The properties of the interface on an object; none when the object lacks the interface.
const Properties* interfaceOf(const Interfaces& interfaces, const char* name);
/// The property's value when it is there with that type.
template <class T>
const T* property(const Properties& properties, const std::string& key) {
    auto found = properties.find(key);
    return found == properties.end() ? nullptr : std::get_if<T>(&found->second);
}

/// What can be said of BlueZ.
enum class Presence {
    unknown,     ///< not yet known: the bus is being joined, or BlueZ's objects are being read
    absent,      ///< no system bus can be reached, or nothing owns "org.bluez" on it
    unreadable,  ///< BlueZ did not give its objects (it is asked again after a pause)
    present,     ///< the objects are BlueZ's, as its signals have left them since
};

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
    /// Upper case with ':' between the bytes.
    std::string address;
    UUID identifier;
    std::optional<std::string> name;
    std::optional<std::string> alias;
    std::optional<std::string> modalias;
    /// "Icon" ("input-mouse", "input-keyboard", "input-gaming", ...).
    std::optional<std::string> icon;
    /// "Appearance", the GAP appearance of a Low Energy device.
    std::optional<std::uint16_t> appearance;
    /// "Class", the class of device of a classic one.
    std::optional<std::uint32_t> deviceClass;
    bool paired = false;
    bool connected = false;
    bool servicesResolved = false;
    /// The services it offers ("UUIDs", read once however long the list), sorted, each once; a
    /// text that is no UUID is left out.
    std::vector<UUID> uuids;
    /// "Percentage" of the device's Battery1, when BlueZ publishes one.
    std::optional<std::uint8_t> battery;
    /// The Manufacturer Name String (2A29) of its Device Information, when BlueZ has read it.
    std::optional<std::string> manufacturer;

    /// Whether "UUIDs" lists the service.
    bool offers(const UUID& service) const;
};

struct GattService {
    std::string path;
    std::string device;
    std::string uuid;  // in lower case
};

struct GattCharacteristic {
    std::string path;
    std::string service;
    std::string uuid;  // in lower case
};

/// What can be said of BlueZ, with its adapters, devices and GATT attributes, each list in path
/// order. Objects that lack what identifies them (an address, a UUID, their parent) are left out.
/// Look-ups go through indexes made with the snapshot, so that a question about one device costs
/// the same however many devices there are.
struct Snapshot {
    Presence presence = Presence::unknown;
    std::vector<Adapter> adapters;
    std::vector<Device> devices;
    std::vector<GattService> services;
    std::vector<GattCharacteristic> characteristics;

    static Snapshot of(Presence presence, const Objects& objects);

    const Adapter* adapter(const std::string& path) const;
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
    std::map<std::string, std::size_t> adapterAt_, serviceAt_, characteristicAt_;
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
