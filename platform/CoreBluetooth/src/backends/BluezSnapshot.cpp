#include "BluezSnapshot.hpp"

#include <algorithm>
#include <array>
#include <cctype>

#include "IOKit/backends/BluetoothIdentity.hpp"

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

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The four hexadecimal digits after `marker` in the modalias.
std::optional<std::uint16_t> fourDigitsAfter(const std::string& text, char marker, std::size_t from) {
    auto at = text.find(marker, from);
    if (at == std::string::npos || at + 5 > text.size()) return std::nullopt;
    std::uint16_t value = 0;
    for (std::size_t i = at + 1; i < at + 5; ++i) {
        int digit = hexValue(text[i]);
        if (digit < 0) return std::nullopt;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

}  // namespace

Snapshot Snapshot::of(const Objects& objects) {
    Snapshot snapshot;
    for (const auto& [path, interfaces] : objects) {
        if (const auto* adapter = interfaceOf(interfaces, adapterInterface)) {
            snapshot.adapters.push_back({path, text(*adapter, "Address").value_or(""), text(*adapter, "Name"),
                                         flag(*adapter, "Powered"), flag(*adapter, "Discoverable"),
                                         text(*adapter, "Modalias")});
        }
        if (const auto* device = interfaceOf(interfaces, deviceInterface)) {
            auto address = text(*device, "Address");
            auto adapter = text(*device, "Adapter");
            if (address && adapter) {
                Device entry{path, *adapter, canonicalBluetoothAddress(*address), bluetoothPeripheralIdentifier(*address), text(*device, "Name"),
                             text(*device, "Alias"), text(*device, "Modalias"), text(*device, "Icon"),
                             flag(*device, "Paired"), flag(*device, "Connected"), flag(*device, "ServicesResolved"),
                             {}, std::nullopt};
                if (const auto* uuids = property<std::vector<std::string>>(*device, "UUIDs")) {
                    for (const auto& uuid : *uuids) {
                        if (auto parsed = CBUUID::fromString(uuid)) entry.uuids.push_back(*parsed);
                    }
                }
                if (const auto* battery = interfaceOf(interfaces, batteryInterface)) {
                    const auto* percentage = property<std::int64_t>(*battery, "Percentage");
                    if (percentage && *percentage >= 0 && *percentage <= 255)
                        entry.battery = static_cast<std::uint8_t>(*percentage);
                }
                snapshot.devices.push_back(std::move(entry));
            }
        }
        if (const auto* service = interfaceOf(interfaces, gattServiceInterface)) {
            auto uuid = text(*service, "UUID");
            auto device = text(*service, "Device");
            auto parsed = uuid ? CBUUID::fromString(*uuid) : std::nullopt;
            if (parsed && device) snapshot.services.push_back({path, *device, *parsed});
        }
        if (const auto* characteristic = interfaceOf(interfaces, gattCharacteristicInterface)) {
            auto uuid = text(*characteristic, "UUID");
            auto service = text(*characteristic, "Service");
            auto parsed = uuid ? CBUUID::fromString(*uuid) : std::nullopt;
            if (parsed && service) snapshot.characteristics.push_back({path, *service, *parsed});
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
