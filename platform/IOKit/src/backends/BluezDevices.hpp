#pragma once
// What BlueZ, Linux's Bluetooth service, knows of the devices of the machine's adapters, from the
// process's copy of its objects (IOKit/backends/BluezObjects.hpp): no call waits for the bus.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BluezDevice {
    /// Upper case with ':' between the bytes.
    std::string address;
    /// "Appearance" (the GAP appearance of a Low Energy device), when BlueZ tells one.
    std::optional<std::uint16_t> appearance;
    /// "Class" (the class of device of a classic one), when BlueZ tells one.
    std::optional<std::uint32_t> deviceClass;
    /// "Icon" ("input-mouse", "input-keyboard", "input-gaming", ...), when BlueZ tells one.
    std::optional<std::string> icon;
    /// The Manufacturer Name String (2A29) of its Device Information, when BlueZ has read it.
    std::optional<std::string> manufacturer;
};

/// The devices in BlueZ's object order, as far as the process knows them now; none while BlueZ is
/// not on the system bus or its objects are still being read.
std::vector<BluezDevice> readBluezDevices();
