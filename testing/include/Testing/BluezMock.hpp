#pragma once
// python-dbusmock's BlueZ on a private system bus, with helpers that set up adapters, devices,
// batteries and GATT attributes the way BlueZ publishes them, and that tell which methods the
// code under test called.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Testing/PrivateBus.hpp"

class BluezMock {
public:
    using Properties = std::map<std::string, sdbus::Variant>;

    /// Starts the "bluez5" template on the bus.
    explicit BluezMock(PrivateSystemBus& bus);

    /// A powered adapter ("hci0"); returns its object path.
    std::string addAdapter(const std::string& name = "hci0", const std::string& hostName = "Quillon Host");
    void setPowered(const std::string& adapter, bool powered);

    /// A device that is neither paired nor connected; returns its object path.
    std::string addDevice(const std::string& adapterName, const std::string& address, const std::string& name);
    /// The system connects the device: "Connected" and "ServicesResolved" become true.
    void connect(const std::string& device);
    /// The link goes down: "Connected" and "ServicesResolved" become false.
    void disconnect(const std::string& device);
    /// Many Low Energy peripherals at once, connected by the system with their services resolved
    /// (testing/dbusmock/bluez_devices.py): mice with BlueZ's battery interface, or straps that
    /// offer the Device Information Service and no battery.
    void addPeripherals(const std::string& adapterName, std::int64_t count, bool battery);

    /// Changes existing properties (PropertiesChanged follows).
    void update(const std::string& path, const std::string& interface, const Properties& properties);
    /// Gives the object a new interface with its properties; InterfacesAdded follows.
    void addInterface(const std::string& path, const std::string& interface, const Properties& properties);

    /// BlueZ's battery plugin: org.bluez.Battery1 with "Percentage".
    void addBattery(const std::string& device, std::uint8_t percentage);
    /// A GATT service "<device>/serviceXXXX" (handle in hex); returns its path.
    std::string addService(const std::string& device, std::uint16_t handle, const std::string& uuid);
    /// A readable GATT characteristic "<service>/charXXXX" whose ReadValue answers `value`, or
    /// fails with the D-Bus error named `failure` when one is given.
    std::string addCharacteristic(const std::string& service, std::uint16_t handle, const std::string& uuid,
                                  const std::vector<std::uint8_t>& value, const std::string& failure = "");

    /// From now on BlueZ answers nothing for `seconds`: it keeps its name on the bus and takes
    /// every call, but is busy (a bluetoothd that has stopped answering).
    void fallSilent(double seconds);

    /// How often `method` was called on the object.
    std::size_t calls(const std::string& path, const std::string& method);
    /// How often the property was read with org.freedesktop.DBus.Properties.Get.
    std::size_t propertyReads(const std::string& path, const std::string& interface, const std::string& property);

private:
    void addObject(const std::string& path, const std::string& interface, const Properties& properties,
                   const std::vector<sdbus::Struct<std::string, std::string, std::string, std::string>>& methods);
    void announce(const std::string& path, const std::string& interface, const Properties& properties);

    PrivateSystemBus& bus_;
};
