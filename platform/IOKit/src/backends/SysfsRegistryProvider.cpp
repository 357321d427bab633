#include "IOKit/backends/SysfsRegistryProvider.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "IOKit/HIDReportDescriptor.hpp"
#include "SysfsClasses.hpp"
#include "SysfsFiles.hpp"
#include "SysfsHID.hpp"

namespace fs = std::filesystem;

using namespace sysfs;

namespace {

/// Lower case, with '-' between the parts, as the registry writes device addresses.
std::string normalizedAddress(std::string text) {
    for (auto& c : text) {
        if (c == ':') c = '-';
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

/// The percentage of a coarse level, as the desktop's power service (UPower) gives it; absent for
/// "Unknown" and anything else.
std::optional<std::int64_t> percentOfLevel(const std::optional<std::string>& level) {
    static const std::map<std::string, std::int64_t> percents{
        {"Critical", 5}, {"Low", 10}, {"Normal", 55}, {"High", 70}, {"Full", 100}};
    auto found = level ? percents.find(*level) : percents.end();
    if (found == percents.end()) return std::nullopt;
    return found->second;
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
    auto devices = bluetoothDeviceEntries();
    result.insert(result.end(), devices.begin(), devices.end());
    return result;
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::matchingEntries(const std::string& className) {
    // A refresh searches several classes, most of which this machine never has: each search reads
    // only its own kind, so that the peripherals' batteries are read once per refresh.
    if (className == serviceClass) return entries();
    if (finds(className, hidEventServiceClasses)) return hidBatteryEntries();
    if (finds(className, hidUserDeviceClasses)) return bluetoothDeviceEntries();
    if (finds(className, smartBatteryClasses) || finds(className, batteryManagerClasses)) return smartBatteryEntries();
    if (finds(className, platformExpertClasses)) {
        if (auto platform = platformEntry()) return {platform};
    }
    return {};
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::hidBatteryEntries() const {
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    for (const auto& supply : powerSupplies()) {
        if (auto entry = hidBatteryEntry(supply)) result.push_back(std::move(entry));
    }
    return result;
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::smartBatteryEntries() const {
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    for (const auto& supply : powerSupplies()) {
        if (auto battery = smartBatteryEntry(supply)) {
            result.push_back(battery->parent);
            result.push_back(std::move(battery));
        }
    }
    return result;
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::hidBatteryEntry(const fs::path& supply) const {
    if (readText(supply / "scope") != "Device") return nullptr;
    auto capacity = readInteger(supply / "capacity");
    if (!capacity) capacity = percentOfLevel(readText(supply / "capacity_level"));
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

    auto entry = makeEntry(hidEventServiceClasses);
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
