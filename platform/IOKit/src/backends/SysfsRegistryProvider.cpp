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

/// Lists the class folder `folder` with `known`'s lister. The folder stays open while it is
/// watched and the budget allows, so that a listing costs no path walk. The kernel lists a removed
/// folder no more: one held that cannot be listed is let go and opened again by its path.
template <typename Visit>
bool listSupplies(KnownSupplies& known, const fs::path& folder, Visit&& visit) {
    if (known.folder.get() >= 0) {
        bool visited = false;
        auto listed = known.lister.list(known.folder.get(), [&](std::string_view name, ino_t inode) {
            visited = true;
            visit(name, inode);
        });
        if (listed || visited) return listed;
        known.releaseFolder();
    }
    // Watched before it is opened, so that a move in between is told; not watched at all while
    // the budget has no room to hold it.
    bool room = known.budget.take();
    auto watched = room ? known.watch.watch(folder.string()) : FolderWatch::Watch();
    FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    bool listed = opened.get() >= 0 && known.lister.list(opened.get(), visit);
    if (watched && opened.get() >= 0) {
        known.folder = std::move(opened);
        known.folderWatched = std::move(watched);
    } else if (room) {
        known.budget.give();
    }
    return listed;
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

const std::vector<PowerSupply*>& SysfsRegistryProvider::powerSupplies() {
    followChanges();
    auto& known = known_->supplies;
    auto listing = ++known_->listings;
    // At rest every supply listed is one already known, most often in the place the last listing
    // gave it: the listing finds it there, else by name, and makes nothing.
    auto& previous = known_->listed;
    auto& order = known_->relisted;
    order.clear();
    std::vector<std::pair<std::string, ino_t>> newcomers;
    listSupplies(*known_, suppliesFolder_, [&](std::string_view name, ino_t inode) {
        std::size_t at = order.size() + newcomers.size();
        PowerSupply* supply = at < previous.size() && previous[at]->name == name ? previous[at] : nullptr;
        if (auto found = supply ? known.end() : known.find(name); found != known.end()) supply = &found->second;
        if (supply && supply->inode == inode && !supply->changing.failed()) {
            supply->listing = listing;
            order.push_back(supply);
        } else {
            newcomers.emplace_back(name, inode);
        }
    });
    // Supplies that are gone are forgotten, so that one coming back under its name is read afresh.
    if (std::erase_if(known, [&](const auto& supply) { return supply.second.listing != listing; }) > 0) {
        known_->byNameKept = false;
    }
    for (const auto& [name, inode] : newcomers) {
        if (auto* supply = powerSupply(name, inode)) {
            supply->listing = listing;
            order.push_back(supply);
        }
    }
    std::swap(previous, order);
    auto& supplies = known_->byName;
    if (!known_->byNameKept) {
        supplies.clear();
        for (auto& [name, supply] : known) supplies.push_back(&supply);
        known_->byNameKept = true;
    }
    return supplies;
}

PowerSupply* SysfsRegistryProvider::powerSupply(const std::string& name, ino_t inode) {
    auto& known = known_->supplies;
    if (auto found = known.find(name); found != known.end()) {
        auto& supply = found->second;
        if (supply.inode == inode && !supply.changing.failed()) return &supply;
        known.erase(found);
        known_->listed.clear();
    }
    known_->byNameKept = false;
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
        if (auto* entry = supply->kind == PowerSupply::Kind::peripheral ? hidBatteryEntry(*supply) : nullptr) {
            result.push_back(*entry);
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
    bool peripherals = finds(className, hidEventServiceClasses), bluetooth = finds(className, hidUserDeviceClasses),
         batteries = finds(className, smartBatteryClasses) || finds(className, batteryManagerClasses),
         platform = finds(className, platformExpertClasses);
    if (!peripherals && !bluetooth && !batteries && !platform) return {};  // a class never made here
    std::lock_guard lock(known_->mutex);
    if (peripherals) {
        auto list = hidBatteryEntries();
        return list ? *list : std::vector<std::shared_ptr<const IORegistryEntry>>{};
    }
    if (bluetooth) return bluetoothDeviceEntries();
    if (batteries) return smartBatteryEntries();
    if (auto entry = platformEntry()) return {entry};
    return {};
}

std::shared_ptr<const std::vector<std::shared_ptr<const IORegistryEntry>>> SysfsRegistryProvider::matchingList(
    const std::string& className) {
    if (className == serviceClass || !finds(className, hidEventServiceClasses)) {
        return IORegistryProvider::matchingList(className);
    }
    std::lock_guard lock(known_->mutex);
    return hidBatteryEntries();
}

std::shared_ptr<const std::vector<std::shared_ptr<const IORegistryEntry>>> SysfsRegistryProvider::hidBatteryEntries() {
    // At rest no battery changed: the list handed out last is handed out again.
    auto& found = known_->peripheralsFound;
    found.clear();
    for (auto* supply : powerSupplies()) {
        if (supply->kind != PowerSupply::Kind::peripheral) continue;
        if (auto* entry = hidBatteryEntry(*supply)) found.push_back(entry);
    }
    auto& last = known_->peripherals;
    bool same = last && std::equal(found.begin(), found.end(), last->begin(), last->end(),
                                   [](const auto* now, const auto& before) { return *now == before; });
    if (!same) {
        using Entries = std::vector<std::shared_ptr<const IORegistryEntry>>;
        Entries entries;
        entries.reserve(found.size());
        for (const auto* entry : found) entries.push_back(*entry);
        last = entries.empty() ? nullptr : std::make_shared<const Entries>(std::move(entries));
    }
    return last;
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

const std::shared_ptr<const IORegistryEntry>* SysfsRegistryProvider::hidBatteryEntry(PowerSupply& supply) {
    auto& reader = known_->reader;
    auto capacity = supply.changing.integer(reader, "capacity");
    if (!capacity) capacity = percentOfLevel(supply.changing.text(reader, "capacity_level"));
    if (!capacity) return nullptr;
    bool charging = supply.changing.text(reader, "status") == "Charging";
    // Nothing changed: the entry made last time describes it still.
    if (supply.entry && supply.percent == *capacity && supply.charging == charging) return &supply.entry;

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
    supply.entry = std::move(entry);
    supply.percent = *capacity;
    supply.charging = charging;
    return &supply.entry;
}
