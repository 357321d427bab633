#include "IOKit/backends/SysfsRegistryProvider.hpp"

#include <cctype>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "IOKit/HIDReportDescriptor.hpp"
#include "SysfsClasses.hpp"
#include "SysfsFiles.hpp"
#include "SysfsHID.hpp"
#include "SysfsPowerSupply.hpp"

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
std::optional<std::int64_t> percentOfLevel(std::optional<std::string_view> level) {
    static const std::map<std::string, std::int64_t, std::less<>> percents{
        {"Critical", 5}, {"Low", 10}, {"Normal", 55}, {"High", 70}, {"Full", 100}};
    auto found = level ? percents.find(*level) : percents.end();
    if (found == percents.end()) return std::nullopt;
    return found->second;
}

}  // namespace

SysfsRegistryProvider::SysfsRegistryProvider(fs::path root)
    : root_(std::move(root)), suppliesFolder_(root_ / "class" / "power_supply"),
      known_(std::make_unique<KnownSupplies>()) {}

SysfsRegistryProvider::~SysfsRegistryProvider() = default;

void SysfsRegistryProvider::followChanges() {
    // A file made, removed or replaced in a supply's folder: its attributes are opened anew. Its
    // folder gone: it is read afresh if it is still listed.
    known_->watch.follow([&](int watch, bool gone) {
        if (watch < 0 || (gone && watch == known_->folderWatched.id())) known_->releaseFolder();
        for (auto& [name, supply] : known_->supplies) {
            if (watch >= 0 && supply.watched.id() != watch) continue;
            if (gone) supply.changing.fail();
            else supply.changing.release();
        }
    });
}

std::map<std::string, ino_t, std::less<>> SysfsRegistryProvider::listSupplies() {
    std::map<std::string, ino_t, std::less<>> listed;
    auto add = [&](std::string_view name, ino_t inode) { listed.emplace(name, inode); };
    // The class folder stays open while it is watched and the budget allows, so that a listing
    // costs no path walk. The kernel lists a removed folder no more: one held that cannot be
    // listed is let go and opened again by its path.
    auto& known = *known_;
    if (known.folder.get() >= 0) {
        if (known.lister.list(known.folder.get(), add)) return listed;
        listed.clear();
        known.releaseFolder();
    }
    // Watched before it is opened, so that a move in between is told; not watched at all while
    // the budget has no room to hold it.
    bool room = known.budget.take();
    auto watched = room ? known.watch.watch(suppliesFolder_.string()) : FolderWatch::Watch();
    FileDescriptor opened(::open(suppliesFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (opened.get() < 0 || !known.lister.list(opened.get(), add)) listed.clear();
    if (watched && opened.get() >= 0) {
        known.folder = std::move(opened);
        known.folderWatched = std::move(watched);
    } else if (room) {
        known.budget.give();
    }
    return listed;
}

std::vector<PowerSupply*> SysfsRegistryProvider::powerSupplies() {
    followChanges();
    auto listed = listSupplies();
    // Supplies that are gone are forgotten, so that one coming back under its name is read afresh.
    std::erase_if(known_->supplies, [&](const auto& supply) { return !listed.contains(supply.first); });
    std::vector<PowerSupply*> supplies;
    for (const auto& [name, inode] : listed) {
        if (auto* supply = powerSupply(name, inode)) supplies.push_back(supply);
    }
    return supplies;
}

PowerSupply* SysfsRegistryProvider::powerSupply(const std::string& name, ino_t inode) {
    auto& known = known_->supplies;
    if (auto found = known.find(name); found != known.end()) {
        auto& supply = found->second;
        if (supply.inode == inode && !supply.changing.failed()) return &supply;
        known.erase(found);
    }
    // Its folder is kept where the links lead: its files are opened from there, and that folder
    // is the one watched.
    std::error_code error;
    auto folder = fs::canonical(suppliesFolder_ / name, error);
    if (error) return nullptr;
    auto& supply = known.try_emplace(name, name, inode, folder.string(), known_->watch, known_->budget).first->second;
    auto& reader = known_->reader;
    auto scope = supply.string(reader, "scope");
    bool machine = !scope || *scope == "System";
    auto type = supply.string(reader, "type");
    if (scope == "Device") {
        supply.kind = PowerSupply::Kind::peripheral;
        readPeripheral(supply);
    } else if (machine && type == "Battery") {
        supply.kind = PowerSupply::Kind::battery;
        readBatteryDesign(reader, supply);
    } else if (machine && type == "Mains") {
        supply.kind = PowerSupply::Kind::mains;
    }
    return &supply;
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::entries() {
    std::lock_guard lock(known_->mutex);
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    if (auto platform = platformEntry()) result.push_back(std::move(platform));
    for (auto* supply : powerSupplies()) {
        if (auto entry = supply->kind == PowerSupply::Kind::peripheral ? hidBatteryEntry(*supply) : nullptr) {
            result.push_back(std::move(entry));
        } else if (auto battery = smartBatteryEntry(*supply)) {
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
    std::lock_guard lock(known_->mutex);
    if (finds(className, hidEventServiceClasses)) return hidBatteryEntries();
    if (finds(className, hidUserDeviceClasses)) return bluetoothDeviceEntries();
    if (finds(className, smartBatteryClasses) || finds(className, batteryManagerClasses)) return smartBatteryEntries();
    if (finds(className, platformExpertClasses)) {
        if (auto platform = platformEntry()) return {platform};
    }
    return {};
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::entriesWithProperties(const std::string& className,
                                                                                                 const CFDictionary& properties) {
    const auto* identifier = properties.count() == 1 ? properties.find("PhysicalDeviceUniqueID") : nullptr;
    auto uuid = identifier && identifier->stringValue() ? UUID::fromString(*identifier->stringValue()) : std::nullopt;
    if (!uuid || !finds(className, hidUserDeviceClasses)) return matchingEntries(className);
    std::lock_guard lock(known_->mutex);
    return bluetoothDeviceEntries(uuid);
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::hidBatteryEntries() {
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    for (auto* supply : powerSupplies()) {
        if (supply->kind != PowerSupply::Kind::peripheral) continue;
        if (auto entry = hidBatteryEntry(*supply)) result.push_back(std::move(entry));
    }
    return result;
}

std::vector<std::shared_ptr<const IORegistryEntry>> SysfsRegistryProvider::smartBatteryEntries() {
    std::vector<std::shared_ptr<const IORegistryEntry>> result;
    for (auto* supply : powerSupplies()) {
        if (auto battery = smartBatteryEntry(*supply)) {
            result.push_back(battery->parent);
            result.push_back(std::move(battery));
        }
    }
    return result;
}

void SysfsRegistryProvider::readPeripheral(PowerSupply& supply) {
    auto& reader = known_->reader;
    auto uevent = readUevent(reader, AT_FDCWD, supply.file("device/uevent").c_str());
    supply.hid = uevent.count("HID_ID") ? parseHIDIdentity(uevent["HID_ID"]) : std::nullopt;
    const auto& name = supply.name;

    std::string address = uevent["HID_UNIQ"];
    if (address.empty() && name.size() > 12 && name.starts_with("hid-") && name.ends_with("-battery")) {
        address = name.substr(4, name.size() - 12);
    }
    if (address.empty()) address = supply.text(reader, "serial_number").value_or("");
    if (address.empty()) address = name;
    supply.address = normalizedAddress(address);

    supply.product = supply.text(reader, "model_name").value_or("");
    if (supply.product.empty()) supply.product = uevent["HID_NAME"];

    if (auto descriptor = reader.bytes(AT_FDCWD, supply.file("device/report_descriptor").c_str(), maximumDescriptorSize)) {
        supply.behavior = HIDReportDescriptor::defaultBehavior(Data(descriptor->begin(), descriptor->end()));
    }
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::hidBatteryEntry(PowerSupply& supply) {
    auto& reader = known_->reader;
    auto capacity = supply.changing.integer(reader, "capacity");
    if (!capacity) capacity = percentOfLevel(supply.changing.text(reader, "capacity_level"));
    if (!capacity) return nullptr;
    bool charging = supply.changing.text(reader, "status") == "Charging";
    // Nothing changed: the entry made last time describes it still.
    if (supply.entry && supply.percent == *capacity && supply.charging == charging) return supply.entry;

    auto entry = makeEntry(hidEventServiceClasses);
    auto& properties = entry->properties;
    properties.set("DeviceAddress", supply.address);
    properties.set("BatteryPercent", *capacity);
    if (charging) properties.set("Transport", "USB");
    else properties.set("Transport", supply.hid && supply.hid->bus == bluetoothBus ? "Bluetooth" : "Wireless");
    if (supply.hid) {
        properties.set("VendorID", static_cast<std::int64_t>(supply.hid->vendor));
        properties.set("ProductID", static_cast<std::int64_t>(supply.hid->product));
    }
    if (!supply.product.empty()) properties.set("Product", supply.product);
    if (supply.behavior) properties.set("HIDDefaultBehavior", *supply.behavior);
    supply.entry = entry;
    supply.percent = *capacity;
    supply.charging = charging;
    return entry;
}
