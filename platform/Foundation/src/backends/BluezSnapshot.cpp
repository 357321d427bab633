#include "Foundation/backends/BluezSnapshot.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <concepts>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>

#include "Foundation/HexDigits.hpp"
#include "Foundation/backends/BluetoothIdentity.hpp"

namespace bluez {

namespace {

std::optional<std::string> text(const Properties& properties, const std::string& key) {
    if (const auto* value = property<std::string>(properties, key)) return *value;
    return std::nullopt;
}

bool flag(const Properties& properties, const std::string& key) {
    const auto* value = property<bool>(properties, key);
    return value && *value;
}

template <class T>
std::optional<T> number(const Properties& properties, const std::string& key) {
    const auto* found = property<std::int64_t>(properties, key);
    if (!found || *found < 0 || *found > static_cast<std::int64_t>(std::numeric_limits<T>::max())) return std::nullopt;
    return static_cast<T>(*found);
}

std::string lowerCase(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

constexpr const char* manufacturerNameUUID = "00002a29-0000-1000-8000-00805f9b34fb";

/// The Manufacturer Name String that BlueZ holds, by the object path of its device.
std::map<std::string, std::string> manufacturerNames(const Objects& objects) {
    std::map<std::string, std::string> names;
    for (const auto& [path, interfaces] : objects) {
        const auto* characteristic = interfaceOf(interfaces, gattCharacteristicInterface);
        if (!characteristic) continue;
        auto uuid = text(*characteristic, "UUID");
        auto service = text(*characteristic, "Service");
        const auto* bytes = property<Data>(*characteristic, "Value");
        if (!uuid || lowerCase(*uuid) != manufacturerNameUUID || !service || !bytes || bytes->empty()) continue;
        auto owner = objects.find(*service);
        const auto* gatt = owner == objects.end() ? nullptr : interfaceOf(owner->second, gattServiceInterface);
        auto device = gatt ? text(*gatt, "Device") : std::nullopt;
        std::string name(bytes->begin(), bytes->end());
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        if (device && !name.empty()) names.emplace(*device, name);
    }
    return names;
}

// The four hexadecimal digits after `marker` in the modalias.
std::optional<std::uint16_t> fourDigitsAfter(const std::string& text, char marker, std::size_t from) {
    auto at = text.find(marker, from);
    if (at == std::string::npos || at + 5 > text.size()) return std::nullopt;
    auto value = hexNumber(std::string_view(text).substr(at + 1, 4));
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

// What a snapshot reads of each interface (Snapshot::of below); nothing of the others.
constexpr std::string_view adapterProperties[] = {"Address", "Name", "Powered", "Discoverable", "Modalias"};
constexpr std::string_view deviceProperties[] = {"Address", "Adapter", "Name",   "Alias",     "Modalias",         "Icon",
                                                 "Appearance", "Class", "Paired", "Connected", "ServicesResolved", "UUIDs"};
constexpr std::string_view batteryProperties[] = {"Percentage"};
constexpr std::string_view gattServiceProperties[] = {"UUID", "Device"};
constexpr std::string_view gattCharacteristicProperties[] = {"UUID", "Service", "Value"};

using Names = std::span<const std::string_view>;

std::optional<Names> keptOf(std::string_view interface) {
    if (interface == adapterInterface) return adapterProperties;
    if (interface == deviceInterface) return deviceProperties;
    if (interface == batteryInterface) return batteryProperties;
    if (interface == gattServiceInterface) return gattServiceProperties;
    if (interface == gattCharacteristicInterface) return gattCharacteristicProperties;
    return std::nullopt;
}

bool isKept(Names names, std::string_view name) { return std::find(names.begin(), names.end(), name) != names.end(); }

// sdbus-c++ keeps the sd-bus message it wraps in Message's protected `void* msg_`, in its 1.x and 2.x
// releases alike. Reading past values without keeping them takes sd-bus's own skip, which
// sdbus-c++ does not offer (its Variant copies each value into a message of its own, for a small
// value some fifty times its size on the wire).
struct Wire : sdbus::Message {
    template <class Self>
    static constexpr bool reachable = requires {
        { &Self::msg_ } -> std::same_as<void* sdbus::Message::*>;
    };
    static sd_bus_message* of(sdbus::Message& message) { return static_cast<sd_bus_message*>(message.*(&Wire::msg_)); }
};
static_assert(Wire::reachable<Wire>,
              "sdbus-c++'s Message no longer keeps its sd-bus message in the protected `void* msg_` that BlueZ's "
              "messages are read from: this release of sdbus-c++ is not one the build takes");

constexpr const char* invalidArguments = "org.freedesktop.DBus.Error.InvalidArgs";

// The type at the message's place, as a signature ("s", "a{sv}", "v").
std::string typeAt(sd_bus_message* message) {
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(message, &type, &contents) <= 0) return "";
    const std::string inner = contents ? contents : "";
    switch (type) {
    case SD_BUS_TYPE_ARRAY: return "a" + inner;
    case SD_BUS_TYPE_STRUCT: return "(" + inner + ")";
    case SD_BUS_TYPE_DICT_ENTRY: return "{" + inner + "}";
    default: return std::string(1, type);
    }
}

// The message has something else than `expected` at its place, or ends there.
[[noreturn]] void misread(sd_bus_message* message, std::string_view expected) {
    const auto found = typeAt(message);
    throw sdbus::Error(invalidArguments, "expected " + std::string(expected) + ", but the message " +
                                             (found.empty() ? "ends there" : "has '" + found + "' in its place"));
}

// sd-bus's result, unless it says that the message does not read (which a message as the bus
// passes it on, of a type read as it says, never does).
int checked(int result) {
    if (result < 0) throw sdbus::Error(invalidArguments, std::string("the message does not read: ") + std::strerror(-result));
    return result;
}

void enter(sd_bus_message* message, char type, const char* contents, std::string_view what) {
    // 0: the message ended before the argument.
    if (sd_bus_message_enter_container(message, type, contents) <= 0) misread(message, what);
}

template <class T>
T basic(sd_bus_message* message, char type) {
    T value{};
    if (checked(sd_bus_message_read_basic(message, type, &value)) == 0) checked(-EBADMSG);
    return value;
}

// The text or object path that is the message's next argument.
std::string argument(sd_bus_message* message, char type, std::string_view what) {
    const char* value = nullptr;
    if (sd_bus_message_read_basic(message, type, &value) <= 0) misread(message, what);
    return value;
}

// The value of that type at the message's place, when it is one of the types that Value holds;
// else the value is read past.
Value valueOfType(sd_bus_message* message, const std::string& type) {
    if (type == "b") return basic<int>(message, 'b') != 0;
    if (type == "y") return std::int64_t{basic<std::uint8_t>(message, 'y')};
    if (type == "n") return std::int64_t{basic<std::int16_t>(message, 'n')};
    if (type == "q") return std::int64_t{basic<std::uint16_t>(message, 'q')};
    if (type == "i") return std::int64_t{basic<std::int32_t>(message, 'i')};
    if (type == "u") return std::int64_t{basic<std::uint32_t>(message, 'u')};
    if (type == "x") return basic<std::int64_t>(message, 'x');
    if (type == "t") return static_cast<std::int64_t>(basic<std::uint64_t>(message, 't'));
    if (type == "s" || type == "o") return std::string(basic<const char*>(message, type[0]));
    if (type == "as") {
        std::vector<std::string> texts;
        checked(sd_bus_message_enter_container(message, SD_BUS_TYPE_ARRAY, "s"));
        const char* text = nullptr;
        while (checked(sd_bus_message_read_basic(message, 's', &text)) > 0) texts.emplace_back(text);
        checked(sd_bus_message_exit_container(message));
        return texts;
    }
    if (type == "ay") {
        const void* bytes = nullptr;
        std::size_t size = 0;
        checked(sd_bus_message_read_array(message, 'y', &bytes, &size));
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        return Data(first, first + size);
    }
    checked(sd_bus_message_skip(message, type.c_str()));
    return std::monostate{};
}

// The variant at the message's place.
Value readValue(sd_bus_message* message) {
    const char* contents = nullptr;
    checked(sd_bus_message_peek_type(message, nullptr, &contents));
    if (!contents) checked(-EBADMSG);
    const std::string type = contents;
    checked(sd_bus_message_enter_container(message, SD_BUS_TYPE_VARIANT, type.c_str()));
    auto value = valueOfType(message, type);
    checked(sd_bus_message_exit_container(message));
    return value;
}

constexpr std::string_view propertiesArgument = "the properties ('a{sv}')";

Properties readKept(sd_bus_message* message, Names kept) {
    Properties properties;
    enter(message, SD_BUS_TYPE_ARRAY, "{sv}", propertiesArgument);
    while (checked(sd_bus_message_enter_container(message, SD_BUS_TYPE_DICT_ENTRY, "sv")) > 0) {
        const std::string_view name = basic<const char*>(message, 's');
        if (isKept(kept, name)) {
            properties.insert_or_assign(std::string(name), readValue(message));
        } else {
            checked(sd_bus_message_skip(message, "v"));
        }
        checked(sd_bus_message_exit_container(message));
    }
    checked(sd_bus_message_exit_container(message));
    return properties;
}

Interfaces readInterfaces(sd_bus_message* message) {
    Interfaces interfaces;
    enter(message, SD_BUS_TYPE_ARRAY, "{sa{sv}}", "the interfaces with their properties ('a{sa{sv}}')");
    while (checked(sd_bus_message_enter_container(message, SD_BUS_TYPE_DICT_ENTRY, "sa{sv}")) > 0) {
        const std::string name = basic<const char*>(message, 's');
        if (auto kept = keptOf(name)) {
            interfaces.insert_or_assign(name, readKept(message, *kept));
        } else {
            checked(sd_bus_message_skip(message, "a{sv}"));
        }
        checked(sd_bus_message_exit_container(message));
    }
    checked(sd_bus_message_exit_container(message));
    return interfaces;
}

// An array of names (as), of which only those that `kept` takes.
template <class Kept>
std::vector<std::string> readNames(sd_bus_message* message, std::string_view what, Kept kept) {
    std::vector<std::string> names;
    enter(message, SD_BUS_TYPE_ARRAY, "s", what);
    const char* name = nullptr;
    while (checked(sd_bus_message_read_basic(message, 's', &name)) > 0) {
        if (kept(std::string_view(name))) names.emplace_back(name);
    }
    checked(sd_bus_message_exit_container(message));
    return names;
}

constexpr std::string_view pathArgument = "the object's path ('o')";

}  // namespace

sd_bus_message* wireOf(sdbus::Message& message) { return Wire::of(message); }

Change readChange(sd_bus_message* message) {
    const char* memberName = sd_bus_message_get_member(message);
    const std::string_view member = memberName ? memberName : "";
    if (member == "InterfacesAdded") {
        InterfacesAdded added{.path = argument(message, 'o', pathArgument)};
        added.interfaces = readInterfaces(message);
        if (added.interfaces.empty()) return {};
        return added;
    }
    if (member == "InterfacesRemoved") {
        InterfacesRemoved removed{.path = argument(message, 'o', pathArgument)};
        removed.interfaces = readNames(message, "the interfaces' names ('as')",
                                       [](std::string_view name) { return keptOf(name).has_value(); });
        if (removed.interfaces.empty()) return {};
        return removed;
    }
    if (member == "PropertiesChanged") {
        const char* path = sd_bus_message_get_path(message);
        PropertiesChanged change{.path = path ? path : "", .interface = argument(message, 's', "the interface's name ('s')")};
        const auto kept = keptOf(change.interface);
        if (kept) {
            change.changed = readKept(message, *kept);
        } else {
            if (typeAt(message) != "a{sv}") misread(message, propertiesArgument);
            checked(sd_bus_message_skip(message, "a{sv}"));
        }
        change.invalidated = readNames(message, "the invalidated properties' names ('as')", [&](std::string_view name) {
            return kept && isKept(*kept, name);
        });
        if (change.changed.empty() && change.invalidated.empty()) return {};
        return change;
    }
    return {};
}

Objects readObjects(sd_bus_message* message) {
    Objects tree;
    enter(message, SD_BUS_TYPE_ARRAY, "{oa{sa{sv}}}", "the objects with their interfaces ('a{oa{sa{sv}}}')");
    while (checked(sd_bus_message_enter_container(message, SD_BUS_TYPE_DICT_ENTRY, "oa{sa{sv}}")) > 0) {
        const std::string path = basic<const char*>(message, 'o');
        addInterfaces(tree, path, readInterfaces(message));
        checked(sd_bus_message_exit_container(message));
    }
    checked(sd_bus_message_exit_container(message));
    return tree;
}

void apply(Objects& objects, Change change) {
    if (auto* added = std::get_if<InterfacesAdded>(&change)) {
        addInterfaces(objects, added->path, std::move(added->interfaces));
    } else if (const auto* removed = std::get_if<InterfacesRemoved>(&change)) {
        removeInterfaces(objects, removed->path, removed->interfaces);
    } else if (const auto* changed = std::get_if<PropertiesChanged>(&change)) {
        changeProperties(objects, changed->path, changed->interface, changed->changed, changed->invalidated);
    }
}

void addInterfaces(Objects& objects, const std::string& path, Interfaces interfaces) {
    if (interfaces.empty()) return;
    auto& object = objects[path];
    for (auto& [name, properties] : interfaces) object[name] = std::move(properties);
}

void removeInterfaces(Objects& objects, const std::string& path, const std::vector<std::string>& interfaces) {
    auto found = objects.find(path);
    if (found == objects.end()) return;
    for (const auto& name : interfaces) found->second.erase(name);
    if (found->second.empty()) objects.erase(found);
}

void changeProperties(Objects& objects, const std::string& path, const std::string& interface,
                      const Properties& changed, const std::vector<std::string>& invalidated) {
    auto object = objects.find(path);
    if (object == objects.end()) return;
    auto properties = object->second.find(interface);
    if (properties == object->second.end()) return;
    for (const auto& [name, value] : changed) properties->second[name] = value;
    for (const auto& name : invalidated) properties->second.erase(name);
}

const Properties* interfaceOf(const Interfaces& interfaces, const char* name) {
    auto found = interfaces.find(name);
    return found == interfaces.end() ? nullptr : &found->second;
}

Snapshot Snapshot::of(Presence presence, const Objects& objects) {
    Snapshot snapshot;
    snapshot.presence = presence;
    const auto manufacturers = manufacturerNames(objects);
    for (const auto& [path, interfaces] : objects) {
        if (const auto* adapter = interfaceOf(interfaces, adapterInterface)) {
            snapshot.adapters.push_back({.path = path,
                                         .address = text(*adapter, "Address").value_or(""),
                                         .name = text(*adapter, "Name"),
                                         .powered = flag(*adapter, "Powered"),
                                         .discoverable = flag(*adapter, "Discoverable"),
                                         .modalias = text(*adapter, "Modalias")});
        }
        if (const auto* device = interfaceOf(interfaces, deviceInterface)) {
            auto address = text(*device, "Address");
            auto adapter = text(*device, "Adapter");
            if (address && adapter && !address->empty()) {
                Device entry{.path = path,
                             .adapter = *adapter,
                             .address = canonicalBluetoothAddress(*address),
                             .identifier = bluetoothPeripheralIdentifier(*address),
                             .name = text(*device, "Name"),
                             .alias = text(*device, "Alias"),
                             .modalias = text(*device, "Modalias"),
                             .icon = text(*device, "Icon"),
                             .appearance = number<std::uint16_t>(*device, "Appearance"),
                             .deviceClass = number<std::uint32_t>(*device, "Class"),
                             .paired = flag(*device, "Paired"),
                             .connected = flag(*device, "Connected"),
                             .servicesResolved = flag(*device, "ServicesResolved")};
                if (const auto* uuids = property<std::vector<std::string>>(*device, "UUIDs")) {
                    for (const auto& text : *uuids) {
                        if (auto uuid = UUID::fromString(text)) entry.uuids.push_back(*uuid);
                    }
                    std::sort(entry.uuids.begin(), entry.uuids.end());
                    entry.uuids.erase(std::unique(entry.uuids.begin(), entry.uuids.end()), entry.uuids.end());
                }
                if (const auto* battery = interfaceOf(interfaces, batteryInterface)) {
                    if (auto percentage = number<std::uint8_t>(*battery, "Percentage")) entry.battery = *percentage;
                }
                if (auto maker = manufacturers.find(path); maker != manufacturers.end()) entry.manufacturer = maker->second;
                snapshot.devices.push_back(std::move(entry));
            }
        }
        if (const auto* service = interfaceOf(interfaces, gattServiceInterface)) {
            auto uuid = text(*service, "UUID");
            auto device = text(*service, "Device");
            if (uuid && device) snapshot.services.push_back({path, *device, lowerCase(*uuid)});
        }
        if (const auto* characteristic = interfaceOf(interfaces, gattCharacteristicInterface)) {
            auto uuid = text(*characteristic, "UUID");
            auto service = text(*characteristic, "Service");
            if (uuid && service) snapshot.characteristics.push_back({path, *service, lowerCase(*uuid)});
        }
    }
    for (std::size_t i = 0; i < snapshot.adapters.size(); ++i) snapshot.adapterAt_.emplace(snapshot.adapters[i].path, i);
    for (std::size_t i = 0; i < snapshot.devices.size(); ++i) {
        const auto& device = snapshot.devices[i];
        // Of the devices with one identifier (one per adapter), the first on a powered adapter.
        auto [chosen, first] = snapshot.deviceWith_.emplace(device.identifier, i);
        const auto* owner = snapshot.adapter(device.adapter);
        const auto* held = snapshot.adapter(snapshot.devices[chosen->second].adapter);
        if (!first && owner && owner->powered && !(held && held->powered)) chosen->second = i;
    }
    for (std::size_t i = 0; i < snapshot.services.size(); ++i) {
        snapshot.serviceAt_.emplace(snapshot.services[i].path, i);
        snapshot.servicesOf_[snapshot.services[i].device].push_back(i);
    }
    for (std::size_t i = 0; i < snapshot.characteristics.size(); ++i) {
        snapshot.characteristicAt_.emplace(snapshot.characteristics[i].path, i);
        snapshot.characteristicsOf_[snapshot.characteristics[i].service].push_back(i);
    }
    return snapshot;
}

namespace {

template <class T>
const T* at(const std::vector<T>& list, const std::map<std::string, std::size_t>& index, const std::string& key) {
    auto found = index.find(key);
    return found == index.end() ? nullptr : &list[found->second];
}

template <class T>
std::vector<const T*> all(const std::vector<T>& list, const std::map<std::string, std::vector<std::size_t>>& index,
                          const std::string& key) {
    std::vector<const T*> found;
    if (auto positions = index.find(key); positions != index.end()) {
        for (auto position : positions->second) found.push_back(&list[position]);
    }
    return found;
}

}  // namespace

bool Device::offers(const UUID& service) const { return std::binary_search(uuids.begin(), uuids.end(), service); }

const Adapter* Snapshot::adapter(const std::string& path) const { return at(adapters, adapterAt_, path); }

const Device* Snapshot::device(const UUID& identifier) const {
    auto found = deviceWith_.find(identifier);
    return found == deviceWith_.end() ? nullptr : &devices[found->second];
}

const GattService* Snapshot::service(const std::string& path) const { return at(services, serviceAt_, path); }

const GattCharacteristic* Snapshot::characteristic(const std::string& path) const {
    return at(characteristics, characteristicAt_, path);
}

std::vector<const GattService*> Snapshot::servicesOf(const std::string& device) const {
    return all(services, servicesOf_, device);
}

std::vector<const GattCharacteristic*> Snapshot::characteristicsOf(const std::string& service) const {
    return all(characteristics, characteristicsOf_, service);
}

bool Snapshot::anyAdapterPowered() const {
    return std::any_of(adapters.begin(), adapters.end(), [](const Adapter& adapter) { return adapter.powered; });
}

bool Snapshot::isUsable(const Device& device) const {
    const auto* owner = adapter(device.adapter);
    return owner && owner->powered && device.connected && device.servicesResolved;
}

std::optional<Modalias> parseModalias(const std::string& text) {
    auto colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    auto vendor = fourDigitsAfter(text, 'v', colon);
    if (!vendor) return std::nullopt;
    auto product = fourDigitsAfter(text, 'p', colon + 5);
    if (!product) return std::nullopt;
    return Modalias{*vendor, *product};
}

}  // namespace bluez
