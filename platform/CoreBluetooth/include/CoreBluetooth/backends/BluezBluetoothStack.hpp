#pragma once
// A Bluetooth stack over BlueZ, Linux's Bluetooth service, through its D-Bus interface on the
// system bus (the bus at DBUS_SYSTEM_BUS_ADDRESS when that is set).
//
// - State: powered on while any adapter (org.bluez.Adapter1) is "Powered"; powered off when none
//   is, while BlueZ is not on the bus (or there is no system bus), or when its objects cannot be
//   read; unsupported while BlueZ has no adapter at all; unknown until its objects have been read.
//   BlueZ that comes later, or again, is followed (Foundation/backends/BluezObjects.hpp); when it goes,
//   each link to a peripheral is reported lost before Bluetooth is reported powered off.
// - Connected peripherals: devices (org.bluez.Device1) that are "Connected" with their services
//   resolved, on a powered adapter, offering one of the services asked for in "UUIDs" or as a GATT
//   service. A peripheral's identifier is derived from its Bluetooth address and its name is
//   "Name" (absent when BlueZ knows none).
// - Connecting calls Device1.Connect only for a device that is not connected already. Cancelling
//   disconnects only a link that this stack brought up itself; a device the system holds
//   connected stays connected.
// - Services and characteristics are BlueZ's GATT objects (org.bluez.GattService1,
//   org.bluez.GattCharacteristic1), read with ReadValue. When BlueZ's battery plugin has taken
//   the Battery Service (180F) over and publishes org.bluez.Battery1 instead, that is offered as a
//   Battery Service with a Battery Level characteristic (2A19) whose value is the one byte of
//   "Percentage", read from what BlueZ's signals have told of it (no call to BlueZ).
//
// The stack answers from the snapshot of the process's copy of BlueZ's objects, which it takes in
// on the copy's queue after each change; connections and reads are asked of BlueZ without waiting,
// and their completions run on the copy's queue too, after the changes BlueZ signalled before it
// answered. Nothing waits on the caller's thread.
#include <memory>
#include <string>

#include "CoreBluetooth/BluetoothStack.hpp"

class BluezBluetoothStack final : public BluetoothStack {
public:
    /// A stack on the system bus, whatever is there now; its state tells what it finds.
    static std::shared_ptr<BluezBluetoothStack> make();
    ~BluezBluetoothStack() override;
    BluezBluetoothStack(const BluezBluetoothStack&) = delete;
    BluezBluetoothStack& operator=(const BluezBluetoothStack&) = delete;

    // BluetoothStack
    void addObserver(std::weak_ptr<BluetoothStackObserver> observer) override;
    std::vector<BluetoothPeripheralInfo> connectedPeripherals(const std::vector<CBUUID>& services) override;
    void connect(const UUID& peripheral, ConnectCompletion completion) override;
    void cancelConnection(const UUID& peripheral) override;
    void discoverServices(const UUID& peripheral, const std::optional<std::vector<CBUUID>>& filter,
                          AttributesCompletion completion) override;
    void discoverCharacteristics(const UUID& peripheral, const std::string& service,
                                 const std::optional<std::vector<CBUUID>>& filter,
                                 AttributesCompletion completion) override;
    void readValue(const UUID& peripheral, const std::string& characteristic, ValueCompletion completion) override;

    struct Core;

private:
    explicit BluezBluetoothStack(std::shared_ptr<Core> core);

    std::shared_ptr<Core> core_;
};
