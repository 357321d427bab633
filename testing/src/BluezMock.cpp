#include "Testing/BluezMock.hpp"

#include <chrono>
#include <cstdio>

namespace {

constexpr const char* bluez = "org.bluez";
constexpr const char* mockInterface = "org.freedesktop.DBus.Mock";
constexpr const char* bluezMockInterface = "org.bluez.Mock";

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
    return text;
}

}  // namespace

BluezMock::BluezMock(PrivateSystemBus& bus) : bus_(bus) { bus_.startMock("bluez5", bluez); }

std::string BluezMock::addAdapter(const std::string& name, const std::string& hostName) {
    std::string path;
    bus_.proxy(bluez, "/")->callMethod("AddAdapter").onInterface(bluezMockInterface).withArguments(name, hostName).storeResultsTo(path);
    return path;
}

void BluezMock::setPowered(const std::string& adapter, bool powered) {
    update(adapter, "org.bluez.Adapter1", {{"Powered", sdbus::Variant(powered)}});
}

std::string BluezMock::addDevice(const std::string& adapterName, const std::string& address, const std::string& name) {
    std::string path;
    bus_.proxy(bluez, "/")
        ->callMethod("AddDevice")
        .onInterface(bluezMockInterface)
        .withArguments(adapterName, address, name)
        .storeResultsTo(path);
    return path;
}

void BluezMock::connect(const std::string& device) {
    update(device, "org.bluez.Device1", {{"Connected", sdbus::Variant(true)}, {"ServicesResolved", sdbus::Variant(true)}});
}

void BluezMock::disconnect(const std::string& device) {
    update(device, "org.bluez.Device1", {{"Connected", sdbus::Variant(false)}, {"ServicesResolved", sdbus::Variant(false)}});
}

void BluezMock::addPeripherals(const std::string& adapterName, std::int64_t count, bool battery) {
    std::map<std::string, sdbus::Variant> parameters{
        {"adapter", sdbus::Variant(adapterName)}, {"count", sdbus::Variant(count)}, {"battery", sdbus::Variant(battery)}};
    bus_.proxy(bluez, "/")
        ->callMethod("AddTemplate")
        .onInterface(mockInterface)
        .withTimeout(std::chrono::minutes(5))
        .withArguments(std::string(QUILLON_SOURCE_DIR "/testing/dbusmock/bluez_devices.py"), parameters);
}

void BluezMock::update(const std::string& path, const std::string& interface, const Properties& properties) {
    bus_.proxy(bluez, path)->callMethod("UpdateProperties").onInterface(mockInterface).withArguments(interface, properties);
}

void BluezMock::addInterface(const std::string& path, const std::string& interface, const Properties& properties) {
    bus_.proxy(bluez, path)->callMethod("AddProperties").onInterface(mockInterface).withArguments(interface, properties);
    announce(path, interface, properties);
}

void BluezMock::addBattery(const std::string& device, std::uint8_t percentage) {
    addInterface(device, "org.bluez.Battery1", {{"Percentage", sdbus::Variant(percentage)}});
}

std::string BluezMock::addService(const std::string& device, std::uint16_t handle, const std::string& uuid) {
    auto path = device + "/service" + hex4(handle);
    Properties properties{{"UUID", sdbus::Variant(uuid)},
                          {"Device", sdbus::Variant(sdbus::ObjectPath(device))},
                          {"Primary", sdbus::Variant(true)}};
    addObject(path, "org.bluez.GattService1", properties, {});
    return path;
}

std::string BluezMock::addCharacteristic(const std::string& service, std::uint16_t handle, const std::string& uuid,
                                         const std::vector<std::uint8_t>& value, const std::string& failure) {
    auto path = service + "/char" + hex4(handle);
    Properties properties{{"UUID", sdbus::Variant(uuid)},
                          {"Service", sdbus::Variant(sdbus::ObjectPath(service))},
                          {"Value", sdbus::Variant(value)},
                          {"Flags", sdbus::Variant(std::vector<std::string>{"read"})}};
    auto read = failure.empty() ? std::string("ret = self.props['org.bluez.GattCharacteristic1']['Value']")
                                : "raise dbus.exceptions.DBusException('failed', name='" + failure + "')";
    addObject(path, "org.bluez.GattCharacteristic1", properties, {{"ReadValue", "a{sv}", "ay", read}});
    return path;
}

void BluezMock::fallSilent(double seconds) {
    bus_.addMethod(bluez, "/", bluezMockInterface, "Sleep", "d", "", "time.sleep(args[0])");
    bus_.proxy(bluez, "/")->callMethod("Sleep").onInterface(bluezMockInterface).withArguments(seconds).dontExpectReply();
}

std::size_t BluezMock::calls(const std::string& path, const std::string& method) {
    std::vector<sdbus::Struct<std::uint64_t, std::vector<sdbus::Variant>>> log;
    bus_.proxy(bluez, path)->callMethod("GetMethodCalls").onInterface(mockInterface).withArguments(method).storeResultsTo(log);
    return log.size();
}

std::size_t BluezMock::propertyReads(const std::string& path, const std::string& interface, const std::string& property) {
    // The mock prints "<time> Get <path> <interface>.<property>" for each read.
    const auto output = bus_.mockOutput(bluez);
    const auto line = " Get " + path + " " + interface + "." + property + "\n";
    std::size_t count = 0;
    for (auto at = output.find(line); at != std::string::npos; at = output.find(line, at + 1)) ++count;
    return count;
}

void BluezMock::addObject(const std::string& path, const std::string& interface, const Properties& properties,
                          const std::vector<sdbus::Struct<std::string, std::string, std::string, std::string>>& methods) {
    bus_.proxy(bluez, "/")
        ->callMethod("AddObject")
        .onInterface(mockInterface)
        .withArguments(path, interface, properties, methods);
    announce(path, interface, properties);
}

void BluezMock::announce(const std::string& path, const std::string& interface, const Properties& properties) {
    // The mock adds objects and interfaces silently; BlueZ announces them through its object manager.
    std::map<std::string, Properties> interfaces{{interface, properties}};
    std::vector<sdbus::Variant> arguments{sdbus::Variant(sdbus::ObjectPath(path)), sdbus::Variant(interfaces)};
    bus_.proxy(bluez, "/")
        ->callMethod("EmitSignal")
        .onInterface(mockInterface)
        .withArguments(std::string("org.freedesktop.DBus.ObjectManager"), std::string("InterfacesAdded"),
                       std::string("oa{sa{sv}}"), arguments);
}
