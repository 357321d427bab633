#include "IOKit/backends/SysfsRegistryProvider.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>

#include "IOKit/HIDReportDescriptor.hpp"
#include "SysfsFiles.hpp"

namespace fs = std::filesystem;

using namespace sysfs;

namespace {

// The kernel's bus number of Bluetooth in HID_ID.
constexpr unsigned long bluetoothBus = 0x05;
// No report descriptor is larger than this.
constexpr std::size_t maximumDescriptorSize = 4096;

std::optional<unsigned long> parseHex(const std::string& text) {
    unsigned long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

/// KEY=VALUE lines of a uevent file.
std::map<std::string, std::string> readUevent(const fs::path& file) {
    std::map<std::string, std::string> values;
    auto text = readText(file);
    if (!text) return values;
    std::size_t start = 0;
    while (start <= text->size()) {
        auto end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        auto line = text->substr(start, end - start);
        if (auto equals = line.find('='); equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 1;
    }
    return values;
}

/// Lower case, with '-' between the parts, as the registry writes device addresses.
std::string normalizedAddress(std::string text) {
    for (auto& c : text) {
        if (c == ':') c = '-';
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

struct HIDIdentity {
    unsigned long bus = 0, vendor = 0, product = 0;
};

/// "0005:0000046D:0000B023" (bus, vendor, product in hexadecimal).
std::optional<HIDIdentity> parseHIDIdentity(const std::string& text) {
    auto first = text.find(':');
    auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    auto bus = parseHex(text.substr(0, first));
    auto vendor = parseHex(text.substr(first + 1, second - first - 1));
    auto product = parseHex(text.substr(second + 1));
    if (!bus || !vendor || !product || *vendor > 0xFFFFFFFF || *product > 0xFFFFFFFF) return std::nullopt;
    return HIDIdentity{*bus, *vendor, *product};
}

}  // namespace

std::vector<fs::path> SysfsRegistryProvider::powerSupplies() const {
    std::error_code error;
    std::vector<fs::path> supplies;
    for (fs::directory_iterator it(root_ / "class" / "power_supply", error), end; !error && it != end; it.increment(error)) {
        supplies.push_back(it->path());
    }
    std::sort(supplies.begin(), supplies.end());
    return supplies;
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::entries() {
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    if (auto platform = platformEntry()) result.push_back(std::move(platform));
    for (const auto& supply : powerSupplies()) {
        if (auto entry = hidBatteryEntry(supply)) {
            result.push_back(std::move(entry));
        } else if (auto battery = smartBatteryEntry(supply)) {
            result.push_back(battery->parent);
            result.push_back(std::move(battery));
        }
    }
    return result;
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::hidBatteryEntry(const fs::path& supply) const {
    if (readText(supply / "scope") != "Device") return nullptr;
    auto capacityText = readText(supply / "capacity");
    auto capacity = capacityText ? parseInteger(*capacityText) : std::nullopt;
    if (!capacity) return nullptr;

    auto device = supply / "device";
    auto uevent = readUevent(device / "uevent");
    auto identity = uevent.count("HID_ID") ? parseHIDIdentity(uevent["HID_ID"]) : std::nullopt;
    std::string name = supply.filename().string();

    std::string address = uevent["HID_UNIQ"];
    if (address.empty() && name.size() > 12 && name.starts_with("hid-") && name.ends_with("-battery")) {
        address = name.substr(4, name.size() - 12);
    }
    if (address.empty()) address = readText(supply / "serial_number").value_or("");
    if (address.empty()) address = name;

    std::string transport;
    if (readText(supply / "status") == "Charging") {
        transport = "USB";
    } else {
        transport = identity && identity->bus == bluetoothBus ? "Bluetooth" : "Wireless";
    }

    auto product = readText(supply / "model_name").value_or("");
    if (product.empty()) product = uevent["HID_NAME"];

    auto entry = std::make_shared<IORegistryEntry>();
    entry->className = hidEventServiceClass;
    entry->superclasses = {"IOHIDEventService", "IOService"};
    auto& properties = entry->properties;
    properties.set("DeviceAddress", normalizedAddress(address));
    properties.set("BatteryPercent", *capacity);
    properties.set("Transport", transport);
    if (identity) {
        properties.set("VendorID", static_cast<std::int64_t>(identity->vendor));
        properties.set("ProductID", static_cast<std::int64_t>(identity->product));
    }
    if (!product.empty()) properties.set("Product", product);
    if (auto descriptor = readBytes(device / "report_descriptor", maximumDescriptorSize)) {
        if (auto behavior = HIDReportDescriptor::defaultBehavior(*descriptor)) properties.set("HIDDefaultBehavior", *behavior);
    }
    return entry;
}
