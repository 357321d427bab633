#pragma once
// One battery-powered device, as every finder of the module makes it and the application lists
// it: its kind, name, level, charging state and identity.
//
// Three kinds of sameness: object identity (two pointers to one object); `id`, a token made new
// for every object; and equality, which compares only the serials without regard to letter
// case. Two equal devices are still distinct objects.
//
// A device draws itself as a picture (`image`) or as a symbol (`symbolName`). Pictures come from
// the host system's own files, looked up by their absolute paths under the system root
// (SystemRoot); where the system has none, the keyboard, mouse, trackpad, headphones and Bluetooth
// pictures come from the module's own artwork. Nothing is cached: every call looks again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "AppKit/NSImage.hpp"
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

    /// The device's picture, the first of: the product picture of `productId`; the catalogue icon
    /// of `internalName` when the catalogue knows that model (absent icon included); by `type`, the
    /// keyboard, mouse or trackpad picture, or the headphones picture for headphones and headsets.
    /// Other devices have none.
    virtual std::shared_ptr<NSImage> image() const;
    /// The device's symbol image, chosen by its type and, for an undefined type, by words in its
    /// name; names that need macOS 12 give way to older symbols on earlier systems. Empty when the
    /// running system does not know the symbol.
    virtual std::shared_ptr<NSImage> symbolName() const;
    /// The picture that the system's Bluetooth resources give for a product id: the first property
    /// list there with an entry "0x%04X" that either clones another product ("Clone", hexadecimal,
    /// followed to that product's picture) or names an image in a bundle ("ImageName", "Bundle").
    /// A chain of clones that comes back to a product already followed ends with no picture.
    virtual std::shared_ptr<NSImage> productImage(std::int64_t productId) const;

    /// The image resource of a bundle at a system path (looked up under the system root); empty
    /// when the bundle or the resource is missing.
    static std::shared_ptr<NSImage> imageInBundle(const std::string& path, const std::string& resource);

    /// Pictures of kinds of device, each made anew on every call: the system's own when it has
    /// them, else the module's artwork (speakers have no artwork of their own).
    static std::shared_ptr<NSImage> bluetoothImage();
    static std::shared_ptr<NSImage> headphonesImage();
    static std::shared_ptr<NSImage> speakersImage();
    static std::shared_ptr<NSImage> keyboardImage();
    static std::shared_ptr<NSImage> mouseImage();
    static std::shared_ptr<NSImage> trackpadImage();

    /// Places of the system's pictures, looked up under the system root.
    static constexpr const char* bluetoothResourcesPath =
        "/System/Library/Frameworks/IOBluetoothUI.framework/Versions/A/Resources";
    static constexpr const char* keyboardPanePath = "/System/Library/PreferencePanes/Keyboard.prefPane";
    static constexpr const char* mousePanePath = "/System/Library/PreferencePanes/Mouse.prefPane";
    static constexpr const char* trackpadPanePath = "/System/Library/PreferencePanes/Trackpad.prefPane";

    /// Writes the keyed format into `container` (made an object when null), keys in the order
    /// "isCharging", "type", "batteryLevel", "name", "productId", "serial", "manufacturer",
    /// "vendorId"; absent fields are left out.
    virtual void encode(KeyedContainer& container) const;

    /// Equal when the serials, each in lower case, are equal.
    bool operator==(const BatteryDevice& other) const;
    /// A hash of the lower-case serial, so that equal devices hash alike.
    std::size_t hashValue() const;

    /// Hashing and equality of device pointers (shared or plain) by the devices' serials, for sets
    /// and maps.
    struct SerialHash {
        std::size_t operator()(const auto& device) const { return device->hashValue(); }
    };
    struct SerialEqual {
        bool operator()(const auto& a, const auto& b) const { return *a == *b; }
    };

protected:
    /// A device of that kind and name whose serial is known from the start (no random one is
    /// drawn only to be replaced); every other field takes its initial value.
    BatteryDevice(DeviceType type, std::string name, std::string serial);

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
