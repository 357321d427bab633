#pragma once
// A battery device that stands for one Bluetooth Low Energy peripheral: its level and Device
// Information texts as the Low Energy finder reads them, whether the registry lists it as a mouse
// or a keyboard, and when it was last heard from. Its serial is the peripheral's identifier as
// upper-case UUID text.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "CoreBluetooth/CBPeripheral.hpp"
#include "RuduredOro/BatteryDevice.hpp"
#include "RuduredOro/PropertyKey.hpp"

namespace RuduredOro {

class LowEnergyFinder;

class LowEnergyDevice : public BatteryDevice {
public:
    /// A device for the peripheral: named after it (or the module's "UNKNOWN" text when it has no
    /// name), with the same text as its model, its identifier as serial and "now" as last update.
    explicit LowEnergyDevice(std::shared_ptr<CBPeripheral> peripheral);
    /// Reads the base keyed format; the device has no peripheral, no texts, both flags false and
    /// a last update of 0. Throws DecodingError.
    explicit LowEnergyDevice(const KeyedContainer& container);

    /// Model words of one maker's keyboards (18) and mice and pointing devices (23).
    const std::vector<std::string>& logitechKeyboards() const;
    const std::vector<std::string>& logitechMice() const;

    const std::shared_ptr<CBPeripheral>& peripheral() const { return peripheral_; }
    void setPeripheral(std::shared_ptr<CBPeripheral> peripheral) { peripheral_ = std::move(peripheral); }
    /// The model shown; replaced by the Model Number characteristic.
    const std::optional<std::string>& model() const { return model_; }
    void setModel(std::optional<std::string> model) { model_ = std::move(model); }
    /// When the device was last heard from, seconds since 1970.
    double lastUpdate() const { return lastUpdate_; }
    void setLastUpdate(double lastUpdate) { lastUpdate_ = lastUpdate; }
    const std::optional<std::string>& hardwareRevision() const { return hardwareRevision_; }
    void setHardwareRevision(std::optional<std::string> text) { hardwareRevision_ = std::move(text); }
    /// The Serial Number characteristic (the base `serial` is the peripheral's identifier).
    const std::optional<std::string>& serialNumber() const { return serialNumber_; }
    void setSerialNumber(std::optional<std::string> text) { serialNumber_ = std::move(text); }
    const std::optional<std::string>& softwareRevision() const { return softwareRevision_; }
    void setSoftwareRevision(std::optional<std::string> text) { softwareRevision_ = std::move(text); }
    const std::optional<std::string>& firmwareRevision() const { return firmwareRevision_; }
    void setFirmwareRevision(std::optional<std::string> text) { firmwareRevision_ = std::move(text); }
    /// The registry's device for the peripheral has primary usage 2 (a mouse) or 6 (a keyboard).
    bool isMouse() const { return isMouse_; }
    void setIsMouse(bool isMouse) { isMouse_ = isMouse; }
    bool isKeyboard() const { return isKeyboard_; }
    void setIsKeyboard(bool isKeyboard) { isKeyboard_ = isKeyboard; }
    const std::optional<std::string>& bluetoothSerial() const { return bluetoothSerial_; }
    void setBluetoothSerial(std::optional<std::string> text) { bluetoothSerial_ = std::move(text); }
    /// The device came from an advertisement (set by the finder only).
    bool isDiscovered() const { return isDiscovered_; }
    /// The finder's connection to the peripheral is up (set by the finder only).
    bool isConnected() const { return isConnected_; }

    /// The Device Information texts that are present, by key (revisions, serial number, the
    /// further serial); empty when none is.
    std::unordered_map<PropertyKey, std::string> infoStrings() const;
    /// A localised word for the kind of device: a pointing device or keyboard by the flags, else
    /// the catalogue's kind of `model` (tablet, watch, phone, music player), else "unknown".
    std::string category() const;

    /// The catalogue's symbol for a known model identifier (`internalName`); for one maker's
    /// devices the mouse or keyboard symbol by the words of the name; else the base symbol.
    std::shared_ptr<NSImage> symbolName() const override;

private:
    friend class LowEnergyFinder;

    void setIsDiscovered(bool isDiscovered) { isDiscovered_ = isDiscovered; }
    void setIsConnected(bool isConnected) { isConnected_ = isConnected; }

    std::shared_ptr<CBPeripheral> peripheral_;
    std::optional<std::string> model_;
    double lastUpdate_ = 0.0;
    std::optional<std::string> hardwareRevision_;
    std::optional<std::string> serialNumber_;
    std::optional<std::string> softwareRevision_;
    std::optional<std::string> firmwareRevision_;
    bool isMouse_ = false;
    bool isKeyboard_ = false;
    std::optional<std::string> bluetoothSerial_;
    bool isDiscovered_ = false;
    bool isConnected_ = false;
};

}  // namespace RuduredOro
