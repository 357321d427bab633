#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "Foundation/Locale.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "RuduredOro/IOKitHelper.hpp"
#include "RuduredOro/InternalFinder.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

const std::filesystem::path trees = std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs";

const CFDictionary kInternalSource{{"Name", "InternalBattery-0"}, {"Type", "InternalBattery"},
                                   {"Current Capacity", 64},      {"Max Capacity", 93},
                                   {"Power Source State", "AC Power"}, {"Is Charging", true},
                                   {"Is Charged", false},         {"Time to Full Charge", 42},
                                   {"BatteryHealth", "Good"}};
const CFDictionary kUPS{{"Name", "Desk UPS"}, {"Type", "UPS"}, {"Current Capacity", 100}, {"Max Capacity", 100},
                        {"Power Source State", "Battery Power"}, {"Is Charging", false}, {"Is Charged", true},
                        {"Time to Empty", 30}, {"BatteryHealth", "Poor"}};

class InternalFinderTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        if (registry) {
            EXPECT_EQ(registry->openHandles(), heldHandles) << "a handle was left unreleased";
        }
        IORegistry::setCurrent(nullptr);
        VirtualTimeTest::TearDown();
    }

    void install(std::shared_ptr<IORegistryProvider> provider) {
        registry = std::make_shared<IORegistry>(std::move(provider));
        IORegistry::setCurrent(registry);
        heldHandles = 0;
    }

    /// A registry with a smart battery of these properties under a controller of that provider
    /// class (none: no parent), and these power sources.
    void install(const CFDictionary& battery, const CFArray& sources,
                 const std::optional<std::string>& providerClass = "IOSMBusController") {
        auto entry = std::make_shared<IORegistryEntry>();
        entry->className = "AppleSmartBattery";
        entry->properties = battery;
        std::vector<std::shared_ptr<const IORegistryEntry>> entries;
        if (providerClass) {
            auto manager = std::make_shared<IORegistryEntry>();
            manager->className = "SmartBatteryManager";
            if (!providerClass->empty()) manager->properties = CFDictionary{{"IOProviderClass", *providerClass}};
            entry->parent = manager;
            entries.push_back(manager);
        }
        entries.push_back(entry);
        install(std::make_shared<StaticRegistryProvider>(entries, sources));
    }

    /// The machine's sysfs tree in `root`, with these attributes of its power supplies (by
    /// "<supply>/<attribute>").
    void install(const TemporaryDirectory& root, const std::vector<std::pair<std::string, std::string>>& attributes) {
        for (const auto& [file, value] : attributes) root.write("class/power_supply/" + file, value + "\n");
        install(std::make_shared<SysfsRegistryProvider>(root.path()));
    }

    /// The registry's smart battery, held until another registry is installed.
    io_service_t smartBattery() {
        ++heldHandles;
        return IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("AppleSmartBattery"));
    }

    std::shared_ptr<IORegistry> registry;
    std::size_t heldHandles = 0;
};

}  // namespace

TEST_F(InternalFinderTest, TheLaptopsBatteryAsAUserSeesIt) {
    install(std::make_shared<SysfsRegistryProvider>(trees / "laptop"));
    InternalFinder finder;
    EXPECT_TRUE(finder.hasBattery());
    auto battery = finder.battery();
    ASSERT_TRUE(std::dynamic_pointer_cast<LegacyInternalBattery>(battery));
    EXPECT_EQ(battery->name(), "BAT0");
    EXPECT_EQ(battery->charge(), 87);
    EXPECT_EQ(battery->currentCapacityText(), "3915 mAh");
    EXPECT_EQ(battery->maxCapacityText(), "4500 mAh");
    EXPECT_DOUBLE_EQ(*battery->health(), 90.0);
    EXPECT_EQ(battery->cycleCount(), 112);
    EXPECT_EQ(battery->isCharging(), false);
    EXPECT_EQ(battery->acPowered(), false);
    EXPECT_EQ(battery->timeRemaining(), 180);
    EXPECT_EQ(battery->timeRemainingText(), "03:00");
    EXPECT_DOUBLE_EQ(*battery->voltage(), 12.1);
    EXPECT_EQ(battery->amperage(), -1305);
    EXPECT_NEAR(*battery->watts(), 15.79, 0.01);
    EXPECT_EQ(battery->manufacturer(), "SMP");
    EXPECT_EQ(battery->condition(), std::nullopt);

    // A desktop with mains only: no power source, no battery, no error.
    install(std::make_shared<SysfsRegistryProvider>(trees / "desk"));
    InternalFinder desk;
    EXPECT_EQ(desk.serviceInternal(), 0u);
    EXPECT_FALSE(desk.hasBattery());
    EXPECT_FALSE(desk.battery());
}

TEST_F(InternalFinderTest, APluggedInLaptopChargesAndItsBatteryFollowsOnUpdate) {
    TemporaryDirectory root;
    install(root, {{"AC/type", "Mains"},
                   {"AC/online", "1"},
                   {"BAT0/type", "Battery"},
                   {"BAT0/status", "Charging"},
                   {"BAT0/charge_full", "4000000"},
                   {"BAT0/charge_now", "1000000"},
                   {"BAT0/current_now", "2000000"},
                   {"BAT0/voltage_now", "12000000"}});

    InternalFinder finder;
    auto battery = finder.battery();
    ASSERT_TRUE(battery);
    EXPECT_EQ(battery->acPowered(), true);
    EXPECT_EQ(battery->isCharging(), true);
    EXPECT_EQ(battery->charge(), 25);
    EXPECT_EQ(battery->timeRemainingText(), "01:30");  // 3000 mAh to go at 2000 mA
    EXPECT_DOUBLE_EQ(*battery->watts(), 24.0);

    root.write("class/power_supply/BAT0/charge_now", "3000000\n");
    battery->update(finder.serviceInternal());
    EXPECT_EQ(battery->charge(), 75);
    EXPECT_EQ(battery->currentCapacity(), 3000);
    EXPECT_EQ(battery->timeRemainingText(), "00:30");
}

TEST_F(InternalFinderTest, ThisMachineAnswersWithoutError) {
    // The machine the tests run on: a battery exactly when the kernel lists one of the machine's.
    bool kernelHasBattery = !SysfsRegistryProvider().powerSources().empty();
    std::shared_ptr<InternalBatteryBase> battery;
    {
        InternalFinder finder;
        ASSERT_NO_THROW(battery = finder.battery());
        EXPECT_EQ(finder.hasBattery(), kernelHasBattery);
    }
    EXPECT_EQ(battery != nullptr, kernelHasBattery);
    std::cout << "internal battery on this machine: " << (battery ? battery->currentCapacityText() : "none") << "\n";
}

TEST_F(InternalFinderTest, TheLastSourceOfTheInternalBatteryWinsAndNoOtherKindLendsItValues) {
    // A laptop with two batteries: the second one listed is read over the first, whose health
    // stays where the second tells none.
    TemporaryDirectory root;
    install(root, {{"BAT0/type", "Battery"},
                   {"BAT0/status", "Discharging"},
                   {"BAT0/capacity", "80"},
                   {"BAT0/health", "Good"},
                   {"BAT1/type", "Battery"},
                   {"BAT1/status", "Charging"},
                   {"BAT1/capacity", "30"}});
    {
        InternalFinder finder;
        auto battery = finder.battery();
        ASSERT_TRUE(battery);
        EXPECT_EQ(battery->name(), "BAT1");
        EXPECT_EQ(battery->charge(), 30);
        EXPECT_EQ(battery->isCharging(), true);
        EXPECT_EQ(battery->condition(), BatteryCondition::good);
    }

    // An uninterruptible supply listed after the battery (or before it) lends it none of its values.
    for (const auto& sources : {CFArray{kInternalSource, kUPS}, CFArray{kUPS, kInternalSource}}) {
        install({{"DesignCapacity", 5000}}, sources, "AppleSMC");
        AppleInternalBattery battery(smartBattery());
        EXPECT_EQ(battery.name(), "InternalBattery-0");
        EXPECT_EQ(battery.charge(), 64);
        EXPECT_EQ(battery.acPowered(), true);
        EXPECT_EQ(battery.timeRemaining(), 42);
        EXPECT_EQ(battery.condition(), BatteryCondition::good);
    }

    // Sources that name no type stand in for the battery when none is typed, the last one
    // winning; a supply of another type never does, while the registry is still read.
    CFDictionary untyped = kInternalSource;
    untyped.remove(CFValue("Type"));
    untyped.set(CFValue("Current Capacity"), CFValue(12));
    CFDictionary lastUntyped = untyped;
    lastUntyped.set(CFValue("Current Capacity"), CFValue(34));
    install({{"MaxCapacity", 4000}}, CFArray{untyped, kUPS, lastUntyped, CFValue("not a description")});
    LegacyInternalBattery fallback(smartBattery());
    EXPECT_EQ(fallback.charge(), 34);
    install({{"MaxCapacity", 4000}}, CFArray{kInternalSource, lastUntyped});
    LegacyInternalBattery typedFirst(smartBattery());
    EXPECT_EQ(typedFirst.charge(), 64);

    install({{"MaxCapacity", 4000}}, CFArray{kUPS});
    LegacyInternalBattery upsOnly(smartBattery());
    EXPECT_EQ(upsOnly.internalCharge(), std::nullopt);
    EXPECT_EQ(upsOnly.name(), std::nullopt);
    EXPECT_EQ(upsOnly.maxCapacity(), 4000);
}

TEST_F(InternalFinderTest, TheControllerDecidesTheKindOfBattery) {
    auto kindOf = [&](const std::optional<std::string>& providerClass, const CFArray& sources = CFArray{kInternalSource}) {
        install({{"CycleCount", 10}}, sources, providerClass);
        InternalFinder finder;
        auto battery = finder.battery();
        if (!battery) return std::string("none");
        if (std::dynamic_pointer_cast<LegacyInternalBattery>(battery)) return std::string("legacy");
        return std::string("apple");
    };
    EXPECT_EQ(kindOf("IOSMBusController"), "legacy");
    EXPECT_EQ(kindOf("AppleSMC"), "apple");
    EXPECT_EQ(kindOf("applesmc"), "none");
    EXPECT_EQ(kindOf(""), "none");            // a parent without a provider class
    EXPECT_EQ(kindOf(std::nullopt), "none");  // no parent
    EXPECT_EQ(kindOf("AppleSMC", CFArray{}), "none");  // no power source at all

    install(std::make_shared<StaticRegistryProvider>(std::vector<std::shared_ptr<const IORegistryEntry>>{},
                                                     CFArray{kInternalSource}));
    InternalFinder noSmartBattery;
    EXPECT_TRUE(noSmartBattery.hasBattery());
    EXPECT_EQ(noSmartBattery.serviceInternal(), 0u);
    EXPECT_FALSE(noSmartBattery.battery());

    install({}, CFArray{kInternalSource});
    registry->setFaults({KERN_SUCCESS, nullptr, true});
    InternalFinder unavailable;
    EXPECT_FALSE(unavailable.hasBattery());
    EXPECT_FALSE(unavailable.battery());
}

TEST_F(InternalFinderTest, PowerSourceKeys) {
    // "AC Power" exactly; flags that read as 1; health texts that are known.
    CFDictionary source{{"Type", "InternalBattery"}, {"Power Source State", "AC power"}, {"Is Charging", 1},
                        {"Is Charged", "1"}, {"BatteryHealth", "Check Battery"}, {"Time to Empty", 12.0}};
    install({}, CFArray{source});
    auto service = smartBattery();
    LegacyInternalBattery battery(service);
    EXPECT_EQ(battery.acPowered(), false);
    EXPECT_EQ(battery.isCharging(), true);
    EXPECT_EQ(battery.isCharged(), false);
    EXPECT_EQ(battery.condition(), std::nullopt);
    EXPECT_EQ(battery.timeToEmpty(), 12);

    battery.setCondition(BatteryCondition::fair);
    battery.update(service);
    EXPECT_EQ(battery.condition(), BatteryCondition::fair);  // an unknown text keeps it

    // Nothing to read from: the entry 0, or power sources that cannot be had.
    battery.setName("kept");
    battery.update(0);
    EXPECT_EQ(battery.name(), "kept");
    registry->setFaults({KERN_SUCCESS, nullptr, true});
    battery.update(service);
    EXPECT_EQ(battery.name(), "kept");
    EXPECT_EQ(battery.acPowered(), false);

    install({{"DesignCapacity", 5000}}, CFArray{CFDictionary{{"Type", "InternalBattery"}}}, "AppleSMC");
    AppleInternalBattery noKeys(smartBattery());
    EXPECT_EQ(noKeys.acPowered(), false);
    EXPECT_EQ(noKeys.isCharging(), false);
}

TEST_F(InternalFinderTest, RegistryValuesAndTheirFallbacks) {
    CFArray discharging{CFDictionary{{"Type", "InternalBattery"}, {"Is Charging", false}}};
    install({{"DesignCapacity", 5000}, {"Voltage", 12600}, {"Temperature", 3055}, {"Amperage", -1500}}, discharging, "AppleSMC");
    AppleInternalBattery apple(smartBattery());
    EXPECT_EQ(apple.designCapacity(), 5000);
    EXPECT_DOUBLE_EQ(*apple.voltage(), 12.6);
    EXPECT_DOUBLE_EQ(*apple.temperature(), 30.55);
    EXPECT_DOUBLE_EQ(*apple.watts(), 18.9);

    install({{"AppleRawMaxCapacity", 4800}, {"DesignCapacity", 5000}, {"Voltage", 12600}, {"Amperage", 2000}},
            CFArray{CFDictionary{{"Type", "InternalBattery"}, {"Is Charging", true}}}, "AppleSMC");
    AppleInternalBattery charging(smartBattery());
    EXPECT_EQ(charging.designCapacity(), 4800);
    EXPECT_DOUBLE_EQ(*charging.watts(), 25.2);

    install({{"AppleRawCurrentCapacity", 4321}, {"AppleRawMaxCapacity", 5100}, {"MaxCapacity", 5000}}, discharging);
    LegacyInternalBattery legacy(smartBattery());
    EXPECT_EQ(legacy.currentCapacity(), 4321);
    EXPECT_EQ(legacy.maxCapacity(), 5000);
    EXPECT_EQ(legacy.watts(), std::nullopt);

    // Capacities the registry no longer tells are kept; other values become absent.
    install({{"CycleCount", 3000000000.0}}, discharging);
    legacy.update(smartBattery());
    EXPECT_EQ(legacy.currentCapacity(), 4321);
    EXPECT_EQ(legacy.maxCapacity(), 5000);
    EXPECT_EQ(legacy.cycleCount(), std::nullopt);  // beyond an int
    EXPECT_EQ(legacy.voltage(), std::nullopt);
}

TEST_F(InternalFinderTest, PackedManufactureDates) {
    TimeZone::setCurrent("Europe/Berlin");
    auto newYear2001 = IOKitHelper::dateFromPackedValue(10785);
    ASSERT_TRUE(newYear2001);
    EXPECT_EQ(newYear2001->timeIntervalSince1970(), 978303600.0);  // midnight in Berlin
    TimeZone::setCurrent("UTC");
    EXPECT_EQ(IOKitHelper::dateFromPackedValue(10785)->timeIntervalSince1970(), 978307200.0);
    // 29 February 2024 exists; 30 February, day 0 and month 0 do not.
    EXPECT_TRUE(IOKitHelper::dateFromPackedValue(44 << 9 | 2 << 5 | 29));
    EXPECT_FALSE(IOKitHelper::dateFromPackedValue(44 << 9 | 2 << 5 | 30));
    EXPECT_FALSE(IOKitHelper::dateFromPackedValue(21 << 9 | 1 << 5 | 0));
    EXPECT_FALSE(IOKitHelper::dateFromPackedValue(21 << 9 | 0 << 5 | 1));

    install({{"ManufactureDate", 10785}, {"Manufacturer", 7}}, CFArray{kInternalSource});
    LegacyInternalBattery battery(smartBattery());
    EXPECT_EQ(battery.manufactureDate(), Date(978307200.0));
    EXPECT_EQ(battery.manufacturer(), std::nullopt);
    install({{"ManufactureDate", "10785"}}, CFArray{kInternalSource});
    EXPECT_FALSE(IOKitHelper::manufactureDate(smartBattery()));
}
