#pragma once
// The adapters, devices and GATT attributes of BlueZ's objects (IOKit/backends/BluezObjects.hpp) as
// plain values. The BlueZ stack and the system_profiler stand-in share this.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CoreBluetooth/CBUUID.hpp"
#include "Foundation/UUID.hpp"
#include "IOKit/backends/BluezObjects.hpp"

namespace bluez {

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
