#include <gtest/gtest.h>

#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IOPowerSources.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const std::filesystem::path trees = std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs";

std::optional<std::int64_t> number(const CFDictionary& dictionary, const char* key) {
    auto value = dictionary.find(key);
    return value ? value->intValue() : std::nullopt;
}

std::optional<std::string> text(const CFDictionary& dictionary, const char* key) {
    auto value = dictionary.find(key);
    return value ? value->stringValue() : std::nullopt;
}

/// Installs a registry for the life of the object.
class InstalledRegistry {
public:
    explicit InstalledRegistry(std::shared_ptr<IORegistryProvider> provider)
        : registry(std::make_shared<IORegistry>(std::move(provider))) {
        IORegistry::setCurrent(registry);
    }
    ~InstalledRegistry() { IORegistry::setCurrent(nullptr); }
    std::shared_ptr<IORegistry> registry;
};

/// Writes a battery's attributes (name, value) under class/power_supply/<name>.
void supply(const TemporaryDirectory& root, const std::string& name,
            std::initializer_list<std::pair<const char*, const char*>> attributes) {
    for (const auto& [file, value] : attributes) root.write("class/power_supply/" + name + "/" + file, std::string(value) + "\n");
}

}  // namespace

TEST(SysfsMachine, EnergiesChargingAndWhatTheKernelTellsDirectly) {
    TemporaryDirectory root;
    // A battery telling energies (µWh) and power (µW), charging on mains.
    supply(root, "AC", {{"type", "Mains"}, {"online", "1"}});
    supply(root, "BAT1", {{"type", "Battery"}, {"scope", "System"}, {"status", "Charging"}, {"capacity", "40"},
                          {"voltage_min_design", "10000000"}, {"voltage_now", "12500000"},
                          {"energy_full_design", "60000000"}, {"energy_full", "50000000"}, {"energy_now", "20000000"},
                          {"power_now", "25000000"}, {"temp", "305"}, {"health", "Good"},
                          {"manufacture_year", "2001"}, {"manufacture_month", "1"}, {"manufacture_day", "1"}});
    // A battery telling its own times; full; a dead cell.
    supply(root, "BAT2", {{"type", "Battery"}, {"status", "Full"}, {"charge_full", "3000000"}, {"charge_now", "2990000"},
                          {"time_to_empty_now", "7200"}, {"health", "Dead"}, {"manufacture_month", "13"},
                          {"temp", "4611686018427387904"},
                          {"manufacture_year", "2020"}, {"manufacture_day", "1"}});
    // Not the machine's batteries: a peripheral's, an empty slot, one of unknown scope.
    supply(root, "hid-battery", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "50"}});
    supply(root, "BAT3", {{"type", "Battery"}, {"present", "0"}, {"capacity", "50"}});
    supply(root, "BAT4", {{"type", "Battery"}, {"scope", "Unknown"}, {"capacity", "50"}});

    SysfsRegistryProvider provider(root.path());
    auto sources = provider.powerSources();
    ASSERT_EQ(sources.size(), 2u);
    const auto& charging = *sources[0].dictionaryValue();
    EXPECT_EQ(text(charging, "Name"), "BAT1");
    EXPECT_EQ(text(charging, "Power Source State"), "AC Power");
    EXPECT_EQ(charging.find("Is Charging")->boolValue(), true);
    EXPECT_EQ(number(charging, "Time to Full Charge"), 72);  // 30 Wh at 25 W
    EXPECT_EQ(charging.find("Time to Empty"), nullptr);
    EXPECT_EQ(text(charging, "BatteryHealth"), "Good");
    const auto& full = *sources[1].dictionaryValue();
    EXPECT_EQ(full.find("Is Charged")->boolValue(), true);
    EXPECT_EQ(number(full, "Current Capacity"), 100);  // 2990 of 3000 rounded
    EXPECT_EQ(text(full, "BatteryHealth"), "Poor");
    EXPECT_EQ(full.find("Time to Empty"), nullptr);  // not discharging

    std::vector<std::shared_ptr<const IORegistryEntry>> batteries;
    for (const auto& entry : provider.entries()) {
        if (entry->className == SysfsRegistryProvider::smartBatteryClass) batteries.push_back(entry);
    }
    ASSERT_EQ(batteries.size(), 2u);
    const auto& energy = batteries[0]->properties;
    EXPECT_EQ(number(energy, "DesignCapacity"), 6000);  // 60 Wh at 10 V
    EXPECT_EQ(number(energy, "MaxCapacity"), 5000);
    EXPECT_EQ(number(energy, "CurrentCapacity"), 2000);
    EXPECT_EQ(number(energy, "Amperage"), 2000);  // 25 W at 12.5 V, charging
    EXPECT_EQ(number(energy, "Temperature"), 3050);
    EXPECT_EQ(number(energy, "ManufactureDate"), 10785);
    EXPECT_EQ(batteries[1]->properties.find("ManufactureDate"), nullptr);  // month 13
    EXPECT_EQ(batteries[1]->properties.find("Temperature"), nullptr);      // beyond what the kernel tells
    EXPECT_EQ(batteries[1]->properties.find("Amperage"), nullptr);

    // Discharging, it tells the kernel's own time to empty.
    supply(root, "BAT2", {{"status", "Discharging"}});
    EXPECT_EQ(number(*provider.powerSources()[1].dictionaryValue(), "Time to Empty"), 120);
}

TEST(SysfsMachine, AHeldBatteryThatIsTakenOutTellsNothing) {
    TemporaryDirectory root;
    supply(root, "BAT0", {{"type", "Battery"}, {"charge_now", "4000000"}});
    InstalledRegistry installed(std::make_shared<SysfsRegistryProvider>(root.path()));
    auto battery = IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("AppleSmartBattery"));
    ASSERT_NE(battery, 0u);
    std::filesystem::remove_all(root.path() / "class");
    EXPECT_FALSE(IORegistryEntryCreateCFProperty(battery, "CurrentCapacity", kCFAllocatorDefault, 0));
    CFMutableDictionaryRef all;
    ASSERT_EQ(IORegistryEntryCreateCFProperties(battery, &all, kCFAllocatorDefault, 0), KERN_SUCCESS);
    EXPECT_TRUE(all->empty());
    EXPECT_EQ(IOObjectRelease(battery), KERN_SUCCESS);
}

TEST(IOPowerSources, SnapshotListAndDescriptions) {
    CFDictionary battery{{"Name", "BAT0"}, {"Current Capacity", 50}};
    InstalledRegistry installed(std::make_shared<StaticRegistryProvider>(
        std::vector<std::shared_ptr<const IORegistryEntry>>{}, CFArray{CFValue(battery), CFValue("not a description")}));

    auto blob = IOPSCopyPowerSourcesInfo();
    auto list = IOPSCopyPowerSourcesList(blob);
    ASSERT_TRUE(list && list->arrayValue());
    ASSERT_EQ(list->arrayValue()->size(), 2u);
    auto description = IOPSGetPowerSourceDescription(blob, list->arrayValue()->at(0));
    ASSERT_TRUE(description);
    EXPECT_EQ(*description, battery);
    EXPECT_FALSE(IOPSGetPowerSourceDescription(blob, list->arrayValue()->at(1)));
    EXPECT_FALSE(IOPSGetPowerSourceDescription(blob, CFValue(2)));
    EXPECT_FALSE(IOPSGetPowerSourceDescription(blob, CFValue(-1)));
    EXPECT_FALSE(IOPSGetPowerSourceDescription(blob, CFValue("0")));
    EXPECT_FALSE(IOPSGetPowerSourceDescription(nullptr, CFValue(0)));

    installed.registry->setFaults({KERN_SUCCESS, nullptr, true});
    EXPECT_FALSE(IOPSCopyPowerSourcesInfo());
    EXPECT_FALSE(IOPSCopyPowerSourcesList(nullptr));
    EXPECT_FALSE(IOPSCopyPowerSourcesList(std::make_shared<const CFValue>("not a snapshot")));
}

TEST(IOPowerSources, FromAHardwareProfile) {
    TemporaryDirectory folder;
    auto file = folder.write("laptop.json", R"({ "registry": [],
        "powerSources": [ { "Name": "BAT0", "Type": "InternalBattery", "Current Capacity": 64, "Is Charging": true },
                          { "Name": "Desk UPS", "Type": "UPS" } ] })");
    InstalledRegistry installed(std::make_shared<HardwareProfileProvider>(file));
    auto blob = IOPSCopyPowerSourcesInfo();
    auto list = IOPSCopyPowerSourcesList(blob);
    ASSERT_EQ(list->arrayValue()->size(), 2u);
    auto battery = IOPSGetPowerSourceDescription(blob, list->arrayValue()->at(0));
    EXPECT_EQ(number(*battery, "Current Capacity"), 64);
    EXPECT_EQ(battery->find("Is Charging")->boolValue(), true);
    EXPECT_EQ(text(*IOPSGetPowerSourceDescription(blob, list->arrayValue()->at(1)), "Type"), "UPS");

    auto bad = folder.write("bad.json", R"({ "powerSources": [ 1 ] })");
    EXPECT_THROW(HardwareProfileProvider{bad}, HardwareProfileError);
    auto none = folder.write("none.json", R"({ "registry": [] })");
    EXPECT_TRUE(HardwareProfileProvider(none).powerSources().empty());
}
