#pragma once
// One battery-powered device, as every finder of the module makes it and the application lists
// it: its kind, name, level, charging state and identity.
//
// Three kinds of sameness: object identity (two pointers to one object); `id`, a token made new
// for every object; and equality, which compares only the serials without regard to letter
// case. Two equal devices are still distinct objects.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "RuduredOro/DecodingError.hpp"
#include "RuduredOro/DeviceType.hpp"
#include "RuduredOro/UUID.hpp"

namespace RuduredOro {

class BatteryDevice {
public:
    /// A device of that kind and name; every other field takes its initial value, with a new
    /// random serial (upper-case UUID text) and a new `id`.
    BatteryDevice(DeviceType type, std::string name);
    /// Reads the keyed format: "isCharging", "type", "name" and "serial" are required;
    /// "batteryLevel", "productId", "manufacturer" and "vendorId" are read when present (null
    /// counts as absent). Other keys are ignored; `internalName` stays absent. Throws
    /// DecodingError.
    explicit BatteryDevice(const KeyedContainer& container);
    virtual ~BatteryDevice() = default;

    BatteryDevice(const BatteryDevice&) = delete;
    BatteryDevice& operator=(const BatteryDevice&) = delete;

    bool isCharging() const { return isCharging_; }
    void setIsCharging(bool isCharging) { isCharging_ = isCharging; }
    /// The device's model identifier (for example "iPhone14,5"), for catalogue lookups.
    const std::optional<std::string>& internalName() const { return internalName_; }
    void setInternalName(std::optional<std::string> internalName) { internalName_ = std::move(internalName); }
    DeviceType type() const { return type_; }
    void setType(DeviceType type) { type_ = type; }
    /// Charge in percent, 0...100.
    std::optional<std::uint8_t> batteryLevel() const { return batteryLevel_; }
    void setBatteryLevel(std::optional<std::uint8_t> level) { batteryLevel_ = level; }
    const std::shared_ptr<const UUID>& id() const { return id_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    std::optional<std::int64_t> productId() const { return productId_; }
    void setProductId(std::optional<std::int64_t> productId) { productId_ = productId; }
    std::optional<std::uint16_t> vendorId() const { return vendorId_; }
    void setVendorId(std::optional<std::uint16_t> vendorId) { vendorId_ = vendorId; }
    /// The device's identity: its address or peripheral identifier.
    const std::string& serial() const { return serial_; }
    void setSerial(std::string serial) { serial_ = std::move(serial); }
    const std::optional<std::string>& manufacturer() const { return manufacturer_; }
    void setManufacturer(std::optional<std::string> manufacturer) { manufacturer_ = std::move(manufacturer); }

    /// Writes the keyed format into `container` (made an object when null), keys in the order
    /// "isCharging", "type", "batteryLevel", "name", "productId", "serial", "manufacturer",
    /// "vendorId"; absent fields are left out.
    virtual void encode(KeyedContainer& container) const;

    /// Equal when the serials, each in lower case, are equal.
    bool operator==(const BatteryDevice& other) const;
    /// A hash of the lower-case serial, so that equal devices hash alike.
    std::size_t hashValue() const;

    /// Hashing and equality of device pointers by the devices' serials, for sets and maps.
    struct SerialHash {
        std::size_t operator()(const std::shared_ptr<const BatteryDevice>& device) const { return device->hashValue(); }
    };
    struct SerialEqual {
        bool operator()(const std::shared_ptr<const BatteryDevice>& a, const std::shared_ptr<const BatteryDevice>& b) const {
            return *a == *b;
        }
    };

private:
    bool isCharging_ = false;
    std::optional<std::string> internalName_;
    DeviceType type_ = DeviceType::undefined;
    std::optional<std::uint8_t> batteryLevel_;
    std::shared_ptr<const UUID> id_ = std::make_shared<const UUID>();
    std::string name_;
    std::optional<std::int64_t> productId_;
    std::optional<std::uint16_t> vendorId_;
    std::string serial_;
    std::optional<std::string> manufacturer_;
};

/// A set of devices in which serials that differ only in letter case are one device.
using BatteryDeviceSet =
    std::unordered_set<std::shared_ptr<const BatteryDevice>, BatteryDevice::SerialHash, BatteryDevice::SerialEqual>;

}  // namespace RuduredOro
