#include "Foundation/backends/BluezSnapshot.hpp"

#include <algorithm>
#include <cctype>
#include <limits>

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

}  // namespace

Value valueOf(const sdbus::Variant& variant) {
    try {
        const auto type = variant.peekValueType();
        if (type == "b") return variant.get<bool>();
        if (type == "y") return std::int64_t{variant.get<std::uint8_t>()};
        if (type == "n") return std::int64_t{variant.get<std::int16_t>()};
        if (type == "q") return std::int64_t{variant.get<std::uint16_t>()};
        if (type == "i") return std::int64_t{variant.get<std::int32_t>()};
        if (type == "u") return std::int64_t{variant.get<std::uint32_t>()};
        if (type == "x") return variant.get<std::int64_t>();
        if (type == "t") return static_cast<std::int64_t>(variant.get<std::uint64_t>());
        if (type == "s") return variant.get<std::string>();
        if (type == "o") return std::string(variant.get<sdbus::ObjectPath>());
        if (type == "as") return variant.get<std::vector<std::string>>();
        if (type == "ay") {
            auto bytes = variant.get<std::vector<std::uint8_t>>();
            return Data(bytes.begin(), bytes.end());
        }
    } catch (const sdbus::Error&) {
        // A value that does not read as its signature says is no value.
    }
    return std::monostate{};
}

Properties propertiesOf(const WireProperties& properties) {
    Properties values;
    for (const auto& [name, variant] : properties) values[name] = valueOf(variant);
    return values;
}

Interfaces interfacesOf(const WireInterfaces& interfaces) {
    Interfaces values;
    for (const auto& [name, properties] : interfaces) values[name] = propertiesOf(properties);
    return values;
}

Objects objectsOf(const WireObjects& objects) {
    Objects tree;
    for (const auto& [path, interfaces] : objects) addInterfaces(tree, path, interfacesOf(interfaces));
    return tree;
}

void addInterfaces(Objects& objects, const std::string& path, Interfaces interfaces) {
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
                    for (const auto& uuid : *uuids) entry.uuids.push_back(lowerCase(uuid));
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
