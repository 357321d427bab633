#pragma once
// The finder of battery-powered keyboards, mice and trackpads in the IOKit registry, whether
// they are connected over Bluetooth or by cable.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "IOKit/CFValue.hpp"
#include "RuduredOro/BatteryDevice.hpp"

namespace RuduredOro {

class IBluetoothFinder {
public:
    virtual ~IBluetoothFinder() = default;
    /// The result of the last refresh.
    virtual std::vector<std::shared_ptr<BatteryDevice>> devices() const = 0;
    /// Rebuilds `devices`.
    virtual void refresh() = 0;
    /// One full search, leaving `devices` as it is.
    virtual std::vector<std::shared_ptr<BatteryDevice>> find() = 0;
};

/// The registry classes searched, in the order searched.
class Planes {
public:
    Planes() = delete;
    /// "AppleDeviceManagementHIDEventService", "IOAppleBluetoothHIDDriver",
    /// "AppleBluetoothHIDKeyboard", "AppleHSBluetoothDevice", "BNBTrackpadDevice", "BNBMouseDevice".
    static const std::vector<std::string>& classNames();
};

/// The property dictionaries of all services of a class, in enumeration order; absent when none
/// could be read (or the class could not be matched). A service whose properties cannot be
/// read is passed over.
std::optional<std::vector<CFDictionary>> serviceProperties(const std::string& className);

class BluetoothFinder : public IBluetoothFinder {
public:
    /// Property values that mark a keyboard, a mouse and a mouse on a cable.
    const std::string keyboardIdentifier = "KBLowBattery";
    const std::string mouseIdentifier = "MOLowBattery";
    const std::string mouseIdentifierUsb = "USBConnectedMO";

    BluetoothFinder() = default;

    std::vector<std::shared_ptr<BatteryDevice>> devices() const override { return devices_; }
    void refresh() override;
    /// The devices of every class, each serial once (letters in any case): of several devices
    /// with the same serial the first found is kept, and the devices come in the order found.
    std::vector<std::shared_ptr<BatteryDevice>> find() override;
    /// One device per service of the class that carries "DeviceAddress" (text), "BatteryPercent"
    /// (number), "Transport" (text), "VendorID" (number), "ProductID" (integer) and a non-empty
    /// "Product" (text), in enumeration order.
    virtual std::vector<std::shared_ptr<BatteryDevice>> findDevices(const std::string& className);

private:
    /// The type by the first rule that decides: the "HIDDefaultBehavior" text, then the marks
    /// among the properties' texts and keys.
    DeviceType deviceType(const CFDictionary& properties) const;

    std::vector<std::shared_ptr<BatteryDevice>> devices_;
};

}  // namespace RuduredOro
