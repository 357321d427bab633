// The machine's own power supplies and identity, as the sysfs provider reads them.
#include <algorithm>
#include <cstdlib>

#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "SysfsClasses.hpp"
#include "SysfsFiles.hpp"
#include "SysfsPowerSupply.hpp"

namespace fs = std::filesystem;

using namespace sysfs;

namespace {

/// The provider class that the entry hosting a smart battery names.
constexpr const char* smBusControllerClass = "IOSMBusController";

std::optional<std::int64_t> positive(std::optional<std::int64_t> value) {
    if (value && *value > 0) return value;
    return std::nullopt;
}

std::optional<std::int64_t> magnitude(std::optional<std::int64_t> value) {
    if (value) return std::llabs(*value);
    return std::nullopt;
}

/// What the kernel tells of a battery of the machine, in the registry's units.
struct BatteryReading {
    std::string name;
    std::string status;
    std::optional<std::int64_t> percent;
    std::optional<std::int64_t> designCapacity, maxCapacity, currentCapacity;  // mAh
    std::optional<std::int64_t> millivolts;
    std::optional<std::int64_t> milliamperes;  // negative while discharging
    std::optional<std::int64_t> minutesToEmpty, minutesToFull;
    std::optional<std::int64_t> cycleCount;
    std::optional<std::int64_t> temperature;  // hundredths of a degree
    std::optional<std::int64_t> manufactureDate;
    std::optional<std::string> manufacturer;
    std::optional<std::string> health;
};

/// The battery's level, stored and full amounts (µAh or µWh) and the rate (µA or µW) in one unit.
struct Amounts {
    std::optional<std::int64_t> now, full, rate;
};

std::optional<std::int64_t> minutes(std::int64_t amount, std::int64_t rate) {
    if (rate <= 0) return std::nullopt;
    return std::max<std::int64_t>(amount, 0) * 60 / rate;
}

/// "Good" stays good; a battery the kernel calls dead or failed is poor; other states tell nothing.
std::optional<std::string> healthText(std::optional<std::string_view> health) {
    if (!health) return std::nullopt;
    if (*health == "Good") return "Good";
    if (*health == "Dead" || *health == "Unspecified failure") return "Poor";
    return std::nullopt;
}

std::optional<BatteryReading> readBattery(AttributeReader& reader, PowerSupply& supply) {
    if (supply.kind != PowerSupply::Kind::battery) return std::nullopt;
    auto integer = [&](const char* attribute) { return supply.changing.integer(reader, attribute); };
    if (integer("present") == 0) return std::nullopt;
    BatteryReading battery;
    battery.name = supply.name;
    battery.status = supply.changing.text(reader, "status").value_or("Unknown");
    bool discharging = battery.status == "Discharging";
    bool charging = battery.status == "Charging";

    auto voltageNow = positive(integer("voltage_now"));  // µV
    auto designVoltage = supply.designVoltage ? supply.designVoltage : voltageNow;
    if (voltageNow) battery.millivolts = *voltageNow / 1000;

    // Charges in µAh with a current in µA, or energies in µWh with a power in µW.
    Amounts charge{integer("charge_now"), integer("charge_full"), magnitude(integer("current_now"))};
    Amounts energy{integer("energy_now"), integer("energy_full"), magnitude(integer("power_now"))};
    auto toMilliampereHours = [&](std::optional<std::int64_t> chargeValue, std::optional<std::int64_t> energyValue)
        -> std::optional<std::int64_t> {
        if (chargeValue) return *chargeValue / 1000;
        if (energyValue && designVoltage) return *energyValue * 1000 / *designVoltage;
        return std::nullopt;
    };
    battery.designCapacity = toMilliampereHours(supply.designCharge, supply.designEnergy);
    battery.maxCapacity = toMilliampereHours(charge.full, energy.full);
    battery.currentCapacity = toMilliampereHours(charge.now, energy.now);

    std::optional<std::int64_t> current;  // mA
    if (charge.rate) current = *charge.rate / 1000;
    else if (energy.rate && voltageNow) current = *energy.rate * 1000 / *voltageNow;
    if (current) battery.milliamperes = discharging ? -*current : *current;

    battery.percent = integer("capacity");
    for (const auto& amounts : {charge, energy}) {
        if (!battery.percent && amounts.now && amounts.full && *amounts.full > 0) {
            battery.percent = std::clamp<std::int64_t>((*amounts.now * 100 + *amounts.full / 2) / *amounts.full, 0, 100);
        }
    }

    auto kernelMinutes = [&](const char* now, const char* average) -> std::optional<std::int64_t> {
        auto seconds = integer(now);
        if (!seconds) seconds = integer(average);
        if (seconds && *seconds >= 0) return *seconds / 60;
        return std::nullopt;
    };
    if (discharging) {
        battery.minutesToEmpty = kernelMinutes("time_to_empty_now", "time_to_empty_avg");
        for (const auto& amounts : {energy, charge}) {
            if (!battery.minutesToEmpty && amounts.now && amounts.rate) battery.minutesToEmpty = minutes(*amounts.now, *amounts.rate);
        }
    } else if (charging) {
        battery.minutesToFull = kernelMinutes("time_to_full_now", "time_to_full_avg");
        for (const auto& amounts : {energy, charge}) {
            if (!battery.minutesToFull && amounts.now && amounts.full && amounts.rate) {
                battery.minutesToFull = minutes(*amounts.full - *amounts.now, *amounts.rate);
            }
        }
    }

    battery.cycleCount = integer("cycle_count");
    if (auto tenths = integer("temp")) battery.temperature = *tenths * 10;
    battery.manufactureDate = supply.manufactureDate;
    battery.manufacturer = supply.manufacturer;
    battery.health = healthText(supply.changing.text(reader, "health"));
    return battery;
}

void setIfPresent(CFDictionary& properties, const char* key, const std::optional<std::int64_t>& value) {
    if (value) properties.set(CFValue(key), CFValue(*value));
}

}  // namespace

void sysfs::readBatteryDesign(AttributeReader& reader, PowerSupply& supply) {
    auto integer = [&](const char* attribute) { return supply.integer(reader, attribute); };
    supply.designCharge = integer("charge_full_design");
    supply.designEnergy = integer("energy_full_design");
    supply.designVoltage = positive(integer("voltage_min_design"));
    supply.manufacturer = supply.string(reader, "manufacturer");
    if (supply.manufacturer && supply.manufacturer->empty()) supply.manufacturer.reset();
    // Day, month and year since 1980 packed into 16 bits; none for a date that does not fit.
    auto year = integer("manufacture_year");
    auto month = integer("manufacture_month");
    auto day = integer("manufacture_day");
    if (!year || !month || !day) return;
    if (*year < 1980 || *year > 1980 + 127 || *month < 1 || *month > 12 || *day < 1 || *day > 31) return;
    supply.manufactureDate = (*year - 1980) << 9 | *month << 5 | *day;
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::smartBatteryEntry(PowerSupply& supply) {
    auto battery = readBattery(known_->reader, supply);
    if (!battery) return nullptr;
    auto manager = makeEntry(batteryManagerClasses);
    manager->properties.set(CFValue(kIOProviderClassKey), CFValue(smBusControllerClass));

    auto entry = makeEntry(smartBatteryClasses);
    entry->parent = manager;
    entry->location = (suppliesFolder_ / supply.name).string();
    auto& properties = entry->properties;
    setIfPresent(properties, "DesignCapacity", battery->designCapacity);
    setIfPresent(properties, "MaxCapacity", battery->maxCapacity);
    setIfPresent(properties, "CurrentCapacity", battery->currentCapacity);
    setIfPresent(properties, "CycleCount", battery->cycleCount);
    setIfPresent(properties, "Voltage", battery->millivolts);
    setIfPresent(properties, "Amperage", battery->milliamperes);
    setIfPresent(properties, "Temperature", battery->temperature);
    if (battery->manufacturer) properties.set(CFValue("Manufacturer"), CFValue(*battery->manufacturer));
    setIfPresent(properties, "ManufactureDate", battery->manufactureDate);
    return entry;
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::reread(const std::shared_ptr<const IORegistryEntry>& entry) {
    if (entry->location.empty()) return entry;
    std::lock_guard lock(known_->mutex);
    followChanges();
    struct stat status {};
    if (::lstat(entry->location.c_str(), &status) != 0) return nullptr;
    auto* supply = powerSupply(fs::path(entry->location).filename().string(), status.st_ino);
    return supply ? smartBatteryEntry(*supply) : nullptr;
}

CFArray SysfsRegistryProvider::powerSources() {
    std::lock_guard lock(known_->mutex);
    auto& reader = known_->reader;
    auto supplies = powerSupplies();
    bool mainsOnline = std::any_of(supplies.begin(), supplies.end(), [&](PowerSupply* supply) {
        return supply->kind == PowerSupply::Kind::mains && supply->changing.integer(reader, "online") == 1;
    });
    CFArray sources;
    for (auto* supply : supplies) {
        auto battery = readBattery(reader, *supply);
        if (!battery) continue;
        bool charging = battery->status == "Charging";
        CFDictionary description;
        description.set(CFValue("Name"), CFValue(battery->name));
        description.set(CFValue("Type"), CFValue("InternalBattery"));
        description.set(CFValue("Power Source State"), CFValue(mainsOnline || charging ? "AC Power" : "Battery Power"));
        setIfPresent(description, "Current Capacity", battery->percent);
        description.set(CFValue("Max Capacity"), CFValue(100));
        description.set(CFValue("Is Charging"), CFValue(charging));
        description.set(CFValue("Is Charged"), CFValue(battery->status == "Full"));
        setIfPresent(description, "Time to Empty", battery->minutesToEmpty);
        setIfPresent(description, "Time to Full Charge", battery->minutesToFull);
        if (battery->health) description.set(CFValue("BatteryHealth"), CFValue(*battery->health));
        sources.emplace_back(std::move(description));
    }
    return sources;
}

std::shared_ptr<const IORegistryEntry> SysfsRegistryProvider::platformEntry() {
    auto dmi = root_ / "class" / "dmi" / "id";
    std::error_code error;
    if (!fs::is_directory(dmi, error)) return nullptr;
    auto entry = makeEntry(platformExpertClasses);
    if (auto serial = known_->reader.text(AT_FDCWD, (dmi / "product_serial").c_str()); serial && !serial->empty()) {
        entry->properties.set(CFValue("IOPlatformSerialNumber"), CFValue(std::string(*serial)));
    }
    return entry;
}
