// The Bluetooth devices the machine knows by their addresses, as HID user devices of the registry.
#include <map>

#include "Foundation/backends/BluetoothIdentity.hpp"
#include "Foundation/backends/BluezObjects.hpp"
#include "IOKit/HIDReportDescriptor.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "SysfsClasses.hpp"
#include "SysfsHID.hpp"
#include "SysfsPowerSupply.hpp"

namespace fs = std::filesystem;

using namespace sysfs;

namespace {

constexpr HIDUsage keyboard{HIDReportDescriptor::genericDesktopPage, 0x06};
constexpr HIDUsage mouse{HIDReportDescriptor::genericDesktopPage, 0x02};
constexpr HIDUsage joystick{HIDReportDescriptor::genericDesktopPage, 0x04};
constexpr HIDUsage gamePad{HIDReportDescriptor::genericDesktopPage, 0x05};

/// A GAP appearance of the human-interface category (0x0F): keyboard, mouse, joystick, game pad.
std::optional<HIDUsage> usageOfAppearance(std::uint16_t appearance) {
    if (appearance >> 6 != 0x0F) return std::nullopt;
    switch (appearance & 0x3F) {
    case 1: return keyboard;
    case 2: return mouse;
    case 3: return joystick;
    case 4: return gamePad;
    default: return std::nullopt;
    }
}

/// A class of device of the peripheral major class (5): its keyboard and pointing bits first,
/// then its kind.
std::optional<HIDUsage> usageOfClass(std::uint32_t deviceClass) {
    if (((deviceClass >> 8) & 0x1F) != 5) return std::nullopt;
    auto minor = (deviceClass >> 2) & 0x3F;
    if (minor >> 4 == 1 || minor >> 4 == 3) return keyboard;
    if (minor >> 4 == 2) return mouse;
    if ((minor & 0x0F) == 1) return joystick;
    if ((minor & 0x0F) == 2) return gamePad;
    return std::nullopt;
}

std::optional<HIDUsage> usageOfIcon(const std::string& icon) {
    if (icon == "input-keyboard") return keyboard;
    if (icon == "input-mouse") return mouse;
    if (icon == "input-gaming") return gamePad;
    return std::nullopt;
}

struct Known {
    std::optional<HIDUsage> usage;
    std::string manufacturer;
};

}  // namespace

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::bluetoothDeviceEntries(const std::optional<UUID>& identifier) {
    // By address, in the canonical form, so that the kernel's HID device and BlueZ's device meet.
    std::map<std::string, Known> devices;

    // The HID devices that BlueZ hands the kernel: their report descriptors say what they are.
    std::error_code error;
    for (fs::directory_iterator it(root_ / "bus" / "hid" / "devices", error), end; !error && it != end; it.increment(error)) {
        auto uevent = readUevent(known_->reader, AT_FDCWD, (it->path() / "uevent").c_str());
        auto hid = uevent.count("HID_ID") ? parseHIDIdentity(uevent["HID_ID"]) : std::nullopt;
        const auto& address = uevent["HID_UNIQ"];
        if (!hid || hid->bus != bluetoothBus || address.empty()) continue;
        if (identifier && bluetoothPeripheralIdentifier(address) != *identifier) continue;
        auto& known = devices[canonicalBluetoothAddress(address)];
        if (known.usage) continue;
        auto file = it->path() / "report_descriptor";
        if (auto descriptor = known_->reader.bytes(AT_FDCWD, file.c_str(), maximumDescriptorSize)) {
            auto usages = HIDReportDescriptor::applicationUsages(Data(descriptor->begin(), descriptor->end()));
            if (!usages.empty()) known.usage = usages.front();
        }
    }

    // What BlueZ says of the rest, and the maker's name where it has read it; nothing waits for it.
    const auto snapshot = BluezObjects::shared().snapshot();
    auto tell = [&](const bluez::Device& device) {
        auto& known = devices[device.address];
        if (device.manufacturer) known.manufacturer = *device.manufacturer;
        if (!known.usage && device.appearance) known.usage = usageOfAppearance(*device.appearance);
        if (!known.usage && device.deviceClass) known.usage = usageOfClass(*device.deviceClass);
        if (!known.usage && device.icon) known.usage = usageOfIcon(*device.icon);
    };
    if (!identifier) {
        for (const auto& device : snapshot->devices) tell(device);
    } else if (const auto* device = snapshot->device(*identifier)) {
        tell(*device);
    }

    std::vector<std::shared_ptr<const IORegistryEntry>> entries;
    for (const auto& [address, known] : devices) {
        if (!known.usage) continue;
        auto entry = makeEntry(hidUserDeviceClasses);
        auto& properties = entry->properties;
        properties.set("PhysicalDeviceUniqueID", bluetoothPeripheralIdentifier(address).uuidString());
        properties.set("PrimaryUsagePage", static_cast<std::int64_t>(known.usage->page));
        properties.set("PrimaryUsage", static_cast<std::int64_t>(known.usage->usage));
        properties.set("Manufacturer", known.manufacturer);
        entries.push_back(std::move(entry));
    }
    return entries;
}
