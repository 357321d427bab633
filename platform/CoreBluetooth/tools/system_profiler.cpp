// system_profiler for this platform: prints the report of one data type as the application's
// profiler reads it. It knows "SPBluetoothDataType", read from BlueZ on the system bus:
//
//   Bluetooth:
//
//         Bluetooth Controller:
//             Address: 00:1A:7D:DA:71:13
//             State: On
//             ...
//         Connected:
//             Pen:
//                 Address: A4:83:E7:1C:2D:3E
//                 Vendor ID: 0x004C
//                 Product ID: 0x2014
//                 Connected: Yes
//                 Battery Level: 77%
//         Not Connected:
//             ...
//
// A heading is a name and ":"; a property is a key, ": " and a value; deeper indentation belongs
// to the line above. "Connected" lists the devices BlueZ holds connected, "Not Connected" the
// paired ones it does not; a device's battery level is the "Percentage" of BlueZ's Battery1.
// Exits with status 1 (and says why on standard error) for another data type, or when BlueZ
// cannot be asked.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Foundation/backends/BluezSnapshot.hpp"

namespace {

const std::string controllerIndent(6, ' ');
const std::string propertyIndent(10, ' ');
const std::string devicePropertyIndent(14, ' ');

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

// A device name as a heading: one line, and never "key: value" (a reader would take it for a
// property), so ": " keeps a no-break space after its colon instead.
std::string heading(const bluez::Device& device) {
    std::string name = device.name.value_or(device.alias.value_or(""));
    for (auto& c : name) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    for (auto at = name.find(": "); at != std::string::npos; at = name.find(": ", at + 1)) name.replace(at + 1, 1, "\u00A0");
    if (name.find_first_not_of(' ') == std::string::npos) name = device.address;
    return name;
}

// The kind of device, from the icon BlueZ gives it, in the words the report uses.
std::optional<std::string> minorType(const std::optional<std::string>& icon) {
    if (!icon) return std::nullopt;
    if (*icon == "input-keyboard") return "Keyboard";
    if (*icon == "input-mouse") return "Mouse";
    if (*icon == "audio-headphones") return "Headphones";
    if (*icon == "audio-headset") return "Headset";
    return std::nullopt;
}

void printDevice(std::ostream& out, const bluez::Device& device) {
    out << propertyIndent << heading(device) << ":\n";
    out << devicePropertyIndent << "Address: " << device.address << "\n";
    if (auto ids = device.modalias ? bluez::parseModalias(*device.modalias) : std::nullopt) {
        out << devicePropertyIndent << "Vendor ID: " << hex4(ids->vendor) << "\n";
        out << devicePropertyIndent << "Product ID: " << hex4(ids->product) << "\n";
    }
    if (device.connected) out << devicePropertyIndent << "Connected: Yes\n";
    if (auto type = minorType(device.icon)) out << devicePropertyIndent << "Minor Type: " << *type << "\n";
    if (device.battery) out << devicePropertyIndent << "Battery Level: " << int(*device.battery) << "%\n";
}

std::string bluetoothReport(const bluez::Snapshot& snapshot) {
    std::ostringstream out;
    out << "Bluetooth:\n\n";
    if (!snapshot.adapters.empty()) {
        const auto& adapter = snapshot.adapters.front();
        out << controllerIndent << "Bluetooth Controller:\n";
        out << propertyIndent << "Address: " << adapter.address << "\n";
        out << propertyIndent << "State: " << (adapter.powered ? "On" : "Off") << "\n";
        out << propertyIndent << "Discoverable: " << (adapter.discoverable ? "On" : "Off") << "\n";
        if (auto ids = adapter.modalias ? bluez::parseModalias(*adapter.modalias) : std::nullopt) {
            out << propertyIndent << "Vendor ID: " << hex4(ids->vendor) << "\n";
            out << propertyIndent << "Product ID: " << hex4(ids->product) << "\n";
        }
    }
    std::vector<const bluez::Device*> connected, paired;
    for (const auto& device : snapshot.devices) {
        if (device.connected) {
            connected.push_back(&device);
        } else if (device.paired) {
            paired.push_back(&device);
        }
    }
    if (!connected.empty()) {
        out << controllerIndent << "Connected:\n";
        for (const auto* device : connected) printDevice(out, *device);
    }
    if (!paired.empty()) {
        out << controllerIndent << "Not Connected:\n";
        for (const auto* device : paired) printDevice(out, *device);
    }
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: system_profiler SPBluetoothDataType\n";
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "SPBluetoothDataType") {
            std::cerr << "system_profiler: no such data type: " << argv[i] << "\n";
            return 1;
        }
    }
    bluez::Objects objects;
    try {
        auto connection = sdbus::createSystemBusConnection();
        auto root = sdbus::createProxy(*connection, bluez::service, "/");
        auto reply = root->callMethod(root->createMethodCall(bluez::objectManagerInterface, "GetManagedObjects"),
                                      std::chrono::microseconds(std::chrono::seconds(10)).count());
        objects = bluez::readObjects(bluez::wireOf(reply));
    } catch (const sdbus::Error& error) {
        std::cerr << "system_profiler: Bluetooth cannot be read: " << error.getName() << ": " << error.getMessage() << "\n";
        return 1;
    }
    std::cout << bluetoothReport(bluez::Snapshot::of(bluez::Presence::present, objects));
    return 0;
}
