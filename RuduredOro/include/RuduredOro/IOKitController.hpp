#pragma once
// Questions about a connected human-interface device, answered from the IOKit registry and
// remembered once answered: its manufacturer by Bluetooth address, and its primary usage and
// manufacturer by unique identifier. Misses are not remembered, so they are asked again.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace RuduredOro {

struct DeviceProperties {
    /// The primary usage on the Generic Desktop page: 2 a mouse, 6 a keyboard.
    std::int64_t primaryUsage = 0;
    std::string manufacturer;
    bool operator==(const DeviceProperties&) const = default;
};

class IIOKitController {
public:
    virtual ~IIOKitController() = default;
    virtual std::optional<std::string> manufacturer(const std::string& address) = 0;
    virtual std::optional<DeviceProperties> deviceProperties(const std::string& identifier) = 0;
};

class IOKitController : public IIOKitController {
public:
    IOKitController() = default;

    /// Cache: device address -> manufacturer name.
    const std::map<std::string, std::string>& manufacturers() const { return manufacturers_; }
    void setManufacturers(std::map<std::string, std::string> manufacturers) { manufacturers_ = std::move(manufacturers); }
    /// Cache: unique identifier -> properties.
    const std::map<std::string, DeviceProperties>& deviceProperties() const { return deviceProperties_; }
    void setDeviceProperties(std::map<std::string, DeviceProperties> properties) { deviceProperties_ = std::move(properties); }

    const std::string appleBluetoothDevice = "AppleHSBluetoothDevice";
    const std::string deviceAddress = "DeviceAddress";
    const std::string descriptors = "Descriptors";
    const std::string deviceDescriptor = "DeviceDescriptor";
    /// The device descriptor's manufacturer entry (a function of the same name answers by address).
    const std::string manufacturerString = "ManufacturerString";
    const std::string serviceName = "IOHIDUserDevice";
    const std::string physicalUniqueId = "PhysicalDeviceUniqueID";
    const std::string primaryUsageKey = "PrimaryUsage";
    const std::string manufacturerKey = "Manufacturer";

    /// The "ManufacturerString" of the device descriptor of the "AppleHSBluetoothDevice" whose
    /// "DeviceAddress" is exactly the address.
    std::optional<std::string> manufacturer(const std::string& address) override;
    /// The "PrimaryUsage" and "Manufacturer" of the "IOHIDUserDevice" whose
    /// "PhysicalDeviceUniqueID" is exactly the identifier; the registry is asked for the services
    /// with that identifier alone, so that a look-up costs the same however many devices there are.
    std::optional<DeviceProperties> deviceProperties(const std::string& identifier) override;

private:
    std::map<std::string, std::string> manufacturers_;
    std::map<std::string, DeviceProperties> deviceProperties_;
};

}  // namespace RuduredOro
