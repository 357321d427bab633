#include <gtest/gtest.h>

#include "Foundation/SystemControl.hpp"

#include <filesystem>

#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "RarAvi/MacSystem.hpp"

using namespace RarAvi;

namespace {

class MacSystemTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (registry) {
            EXPECT_EQ(registry->openHandles(), 0u);
        }
        IORegistry::setCurrent(nullptr);
    }

    void install(std::shared_ptr<IORegistryProvider> provider) {
        registry = std::make_shared<IORegistry>(std::move(provider));
        IORegistry::setCurrent(registry);
    }

    /// A registry whose platform entry has these properties.
    void installPlatform(CFDictionary properties) {
        auto entry = std::make_shared<IORegistryEntry>();
        entry->className = "IOPlatformExpertDevice";
        entry->properties = std::move(properties);
        install(std::make_shared<StaticRegistryProvider>(std::vector<std::shared_ptr<const IORegistryEntry>>{entry}));
    }

    std::shared_ptr<IORegistry> registry;
};

}  // namespace

TEST_F(MacSystemTest, SerialNumberFromThePlatformEntry) {
    install(std::make_shared<SysfsRegistryProvider>(std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs" / "laptop"));
    EXPECT_EQ(MacSystem::serialNumber(), "C02ZK4XQMD6R");
    EXPECT_EQ(MacSystem::factoryLocation(), "Tech Com \u2013 Quanta Computer Subsidiary, China");

    installPlatform({{"IOPlatformSerialNumber", " \tFK1XY2\n\u2003"}});
    EXPECT_EQ(MacSystem::serialNumber(), "FK1XY2");
    EXPECT_EQ(MacSystem::factoryLocation(), "Foxconn \u2013 Zhengzhou, China");

    installPlatform({{"IOPlatformSerialNumber", ""}});
    EXPECT_EQ(MacSystem::serialNumber(), "");
    EXPECT_EQ(MacSystem::factoryLocation(), std::nullopt);

    // No serial number, one that is not a text, no platform entry at all (a machine whose
    // firmware tables cannot be read).
    for (auto properties : {CFDictionary{}, CFDictionary{{"IOPlatformSerialNumber", 12345}}}) {
        installPlatform(properties);
        EXPECT_EQ(MacSystem::serialNumber(), std::nullopt);
        EXPECT_EQ(MacSystem::factoryLocation(), std::nullopt);
    }
    install(std::make_shared<SysfsRegistryProvider>(std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs" / "desk"));
    EXPECT_EQ(MacSystem::serialNumber(), std::nullopt);
}

TEST(MacSystem, ModelFamilyByTheLongestMatchingPrefix) {
    EXPECT_EQ(MacSystem::modelFamily("iMacPro1,1"), "iMac Pro");
    EXPECT_EQ(MacSystem::modelFamily("iMac21,1"), "iMac");
    EXPECT_EQ(MacSystem::modelFamily("Macmini9,1"), "Mac Mini");
    EXPECT_EQ(MacSystem::modelFamily("MacPro7,1"), "Mac Pro");
    EXPECT_EQ(MacSystem::modelFamily("MacBookPro18,3"), "MacBook Pro");
    EXPECT_EQ(MacSystem::modelFamily("MacBookAir10,1"), "MacBook Air");
    EXPECT_EQ(MacSystem::modelFamily("MacBook10,1"), "MacBook");
    EXPECT_EQ(MacSystem::modelFamily("Xserve3,1"), "Xserve");
    for (const char* unknown : {"Mac14,2", "imac21,1", "", "Book 14 Gen 2"}) EXPECT_EQ(MacSystem::modelFamily(unknown), "");

    // This machine's own family comes from its hardware model.
    SystemControl::setStringValue("hw.model", "MacBookAir10,1");
    EXPECT_EQ(MacSystem::modelFamily(), "MacBook Air");
    SystemControl::setStringValue("hw.model", std::nullopt);
}

TEST(MacSystem, FactoryBySerialPrefixInTableOrder) {
    EXPECT_EQ(MacSystem::factoryLocation("EE123"), "Taiwan");
    EXPECT_EQ(MacSystem::factoryLocation("E9123"), "Singapore");
    EXPECT_EQ(MacSystem::factoryLocation("FC123"), "Fountain Colorado, USA");
    EXPECT_EQ(MacSystem::factoryLocation("FK123"), "Foxconn \u2013 Zhengzhou, China");
    EXPECT_EQ(MacSystem::factoryLocation("F7123"), "China");
    EXPECT_EQ(MacSystem::factoryLocation("FX123"), "Fremont, California, USA");
    EXPECT_EQ(MacSystem::factoryLocation("C3123"), "Foxxcon, Shenzhen, China");
    EXPECT_EQ(MacSystem::factoryLocation("C5123"), std::nullopt);
    EXPECT_EQ(MacSystem::factoryLocation("fc123"), std::nullopt);
    EXPECT_EQ(MacSystem::factoryLocation(""), std::nullopt);
}
