#pragma once
// The registry of the Linux machine, read from sysfs on every query, so that it follows the
// kernel as devices come, go and charge.
//
// Every power supply under <root>/class/power_supply whose scope is "Device" (a peripheral's
// battery, not the machine's own) and that reports a capacity becomes a HID event service
// ("AppleDeviceManagementHIDEventService") with what the kernel knows of it:
//   "DeviceAddress"       the HID device's unique id (its Bluetooth address or serial), else the
//                         address in a "hid-<address>-battery" name, in lower case with '-'
//                         between the parts
//   "BatteryPercent"      `capacity`
//   "Transport"           "USB" exactly while `status` is "Charging"; otherwise "Bluetooth" on
//                         the Bluetooth bus and "Wireless" on any other
//   "VendorID", "ProductID"  from the HID device's HID_ID
//   "Product"             `model_name`, else the HID device's HID_NAME
//   "HIDDefaultBehavior"  "Keyboard", "Mouse" or "Trackpad" when the HID device's report
//                         descriptor says so
#include <filesystem>

#include "IOKit/IORegistry.hpp"

class SysfsRegistryProvider : public IORegistryProvider {
public:
    static constexpr const char* hidEventServiceClass = "AppleDeviceManagementHIDEventService";

    /// `root` is where sysfs is mounted; tests point it at a fixture tree.
    explicit SysfsRegistryProvider(std::filesystem::path root = "/sys") : root_(std::move(root)) {}

    const std::filesystem::path& root() const { return root_; }

    /// The entries in the order of the power supplies' names; none when the folder is missing.
    std::vector<std::shared_ptr<const IORegistryEntry>> entries() override;

private:
    std::shared_ptr<const IORegistryEntry> hidBatteryEntry(const std::filesystem::path& supply) const;

    std::filesystem::path root_;
};
