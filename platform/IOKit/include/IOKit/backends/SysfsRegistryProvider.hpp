#pragma once
// The registry of the Linux machine, read from sysfs on every query (and from the copy of BlueZ's
// objects that BlueZ's own signals keep current), so that it follows the kernel as devices come,
// go and charge. A query reads only the kinds of entries that can match the class it asks for,
// and of the power supplies only what changes: each query lists them, and what a supply's other
// files told (its scope and type, a peripheral's identity, name and kind, a battery's maker and
// design) is kept for as long as the supply is the same one (listed under its name with the
// inode it had, which the kernel gives anew when a supply, and with it its `device` link, is
// made again); a supply that goes and comes back is read afresh. The files that change (a level,
// a status, a battery's charge) are held open from their first read and read again in place,
// since sysfs makes a value afresh at each read from its start: at rest a search costs the
// listing and one read of each such file. Each supply's folder is watched (inotify), so that a
// file made, removed or put in another's place there, as trees standing in for sysfs do, is
// opened anew; a supply whose held file fails to read, or whose folder goes, is read afresh. While
// a folder is watched, its listing tells which of those files it has, so that one it lacks (the
// `capacity` of a battery that tells only a coarse level) is not looked for at every search.
// Held files take at most half the descriptors the process may open; beyond that, and where a
// folder cannot be watched, a file is opened at each read.
//
// Every power supply under <root>/class/power_supply whose scope is "Device" (a peripheral's
// battery, not the machine's own) and that reports a level becomes a HID event service
// ("AppleDeviceManagementHIDEventService") with what the kernel knows of it:
//   "DeviceAddress"       the HID device's unique id (its Bluetooth address or serial), else the
//                         address in a "hid-<address>-battery" name, in lower case with '-'
//                         between the parts
//   "BatteryPercent"      `capacity`; for a battery that tells only a coarse `capacity_level`, the
//                         percentage the desktop's power service gives it (Critical 5, Low 10,
//                         Normal 55, High 70, Full 100)
//   "Transport"           "USB" exactly while `status` is "Charging"; otherwise "Bluetooth" on
//                         the Bluetooth bus and "Wireless" on any other
//   "VendorID", "ProductID"  from the HID device's HID_ID
//   "Product"             `model_name`, else the HID device's HID_NAME
//   "HIDDefaultBehavior"  "Keyboard", "Mouse" or "Trackpad" when the HID device's report
//                         descriptor says so, "undefined" when it says the device is something
//                         else (a game pad, a pen)
//
// Every Bluetooth device that the machine knows by its address becomes a HID user device
// ("IOHIDUserDevice"), so that a peripheral of the Bluetooth stack can be told a mouse or a
// keyboard: each HID device under <root>/bus/hid/devices on the Bluetooth bus (by its HID_UNIQ),
// and each device BlueZ knows on the system bus (org.bluez.Device1 "Address").
//   "PhysicalDeviceUniqueID"  the identifier the Bluetooth stack gives the peripheral of that
//                         address (bluetoothPeripheralIdentifier)
//   "PrimaryUsagePage", "PrimaryUsage"  the usage of the HID device's first application
//                         collection; without a HID device, what BlueZ's "Appearance", "Class" or
//                         "Icon" says, in that order: a keyboard (1, 6), a mouse (1, 2), a
//                         joystick (1, 4), a game pad (1, 5)
//   "Manufacturer"        the Manufacturer Name String BlueZ has read from it, else ""
// A device whose usage nothing tells is left out. A search for the HID user device of one
// "PhysicalDeviceUniqueID" (IOPropertyMatch) reads that device alone: BlueZ's device of that
// identifier (of several, one per adapter, the one on a powered adapter) and the HID devices of
// its address, so that it costs the same however many devices BlueZ knows.
//
// Every power supply of type "Battery" that belongs to the machine (scope "System", or no scope)
// and is present becomes a power source and a smart battery ("AppleSmartBattery") whose parent
// is a battery manager provided by an SMBus controller ("IOProviderClass" "IOSMBusController"),
// so that its capacities are told in mAh. The kernel's units are converted: charges from µAh,
// energies from µWh at the design voltage, volts and amperes from µV and µA (or from µW), the
// temperature from tenths of a degree.
//   smart battery         "DesignCapacity", "MaxCapacity", "CurrentCapacity" (mAh), "CycleCount",
//                         "Voltage" (mV), "Amperage" (mA, negative while discharging),
//                         "Temperature" (hundredths of a degree), "Manufacturer",
//                         "ManufactureDate" (packed: day, month and the year since 1980 in bits
//                         0-4, 5-8 and 9-15), each where the kernel tells it
//   power source          "Name" (the supply's name), "Type" "InternalBattery",
//                         "Power Source State" ("AC Power" while a mains supply is online or the
//                         battery charges, else "Battery Power"), "Current Capacity" (percent),
//                         "Max Capacity" 100, "Is Charging", "Is Charged" (status "Full"),
//                         "Time to Empty" while discharging and "Time to Full Charge" while
//                         charging (minutes, where the kernel tells them or they follow from the
//                         charge and the current), "BatteryHealth" ("Good"; "Poor" for a dead or
//                         failed battery)
// The smart battery is re-read from its supply whenever its properties are read, so that a
// battery held for long follows its charge.
//
// The machine itself becomes the platform entry ("IOPlatformExpertDevice") when the firmware's
// DMI tables are there (<root>/class/dmi/id), with "IOPlatformSerialNumber" from product_serial
// where it is readable (usually by root only) and not empty.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/UUID.hpp"
#include "IOKit/IORegistry.hpp"

namespace sysfs {
struct KnownSupplies;
struct PowerSupply;
}  // namespace sysfs

class SysfsRegistryProvider : public IORegistryProvider {
public:
    static constexpr const char* hidEventServiceClass = "AppleDeviceManagementHIDEventService";
    static constexpr const char* hidUserDeviceClass = "IOHIDUserDevice";
    static constexpr const char* smartBatteryClass = "AppleSmartBattery";
    static constexpr const char* platformExpertClass = "IOPlatformExpertDevice";

    /// `root` is where sysfs is mounted; tests point it at a fixture tree.
    explicit SysfsRegistryProvider(std::filesystem::path root = "/sys");
    ~SysfsRegistryProvider() override;

    const std::filesystem::path& root() const { return root_; }

    /// The platform entry, then the entries of the power supplies in the order of their names
    /// (each smart battery after its manager), then the Bluetooth HID user devices by address;
    /// none when the folders are missing and BlueZ is not there.
    std::vector<std::shared_ptr<const IORegistryEntry>> entries() override;
    /// Only the kinds of entries of which one has the class (or derives from it).
    std::vector<std::shared_ptr<const IORegistryEntry>> matchingEntries(const std::string& className) override;
    /// A HID user device by its "PhysicalDeviceUniqueID" alone; other searches as matchingEntries().
    std::vector<std::shared_ptr<const IORegistryEntry>> entriesWithProperties(const std::string& className,
                                                                              const CFDictionary& properties) override;
    /// A smart battery as its supply is now; empty when the battery is gone.
    std::shared_ptr<const IORegistryEntry> reread(const std::shared_ptr<const IORegistryEntry>& entry) override;
    /// The machine's batteries, in the order of their names.
    CFArray powerSources() override;

private:
    // Each runs with the known supplies locked.
    void followChanges();
    /// The names of the supplies listed now, with their inodes; none when the folder cannot be listed.
    std::map<std::string, ino_t, std::less<>> listSupplies();
    /// The supplies listed now, in the order of their names.
    std::vector<sysfs::PowerSupply*> powerSupplies();
    sysfs::PowerSupply* powerSupply(const std::string& name, ino_t inode);
    void readPeripheral(sysfs::PowerSupply& supply);
    /// The supply's entry as it is now; none when its level cannot be read.
    std::shared_ptr<const IORegistryEntry> hidBatteryEntry(sysfs::PowerSupply& supply);
    std::vector<std::shared_ptr<const IORegistryEntry>> hidBatteryEntries();
    std::vector<std::shared_ptr<const IORegistryEntry>> smartBatteryEntries();
    std::shared_ptr<const IORegistryEntry> smartBatteryEntry(sysfs::PowerSupply& supply);
    /// Every Bluetooth device's, or only that of the device with the identifier.
    std::vector<std::shared_ptr<const IORegistryEntry>> bluetoothDeviceEntries(const std::optional<UUID>& identifier = std::nullopt);
    std::shared_ptr<const IORegistryEntry> platformEntry();

    std::filesystem::path root_;
    /// <root>/class/power_supply
    std::filesystem::path suppliesFolder_;
    std::unique_ptr<sysfs::KnownSupplies> known_;
};
