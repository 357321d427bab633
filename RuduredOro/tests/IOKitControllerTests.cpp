#include <gtest/gtest.h>

#include "IOKit/IORegistry.hpp"
#include "RuduredOro/IOKitController.hpp"

using namespace RuduredOro;

namespace {

class IOKitControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry = std::make_shared<IORegistry>(std::make_shared<StaticRegistryProvider>(entries()));
        IORegistry::setCurrent(registry);
    }
    void TearDown() override {
        EXPECT_EQ(registry->openHandles(), 0u);
        IORegistry::setCurrent(nullptr);
    }

    static std::shared_ptr<const IORegistryEntry> entry(const std::string& className, CFDictionary properties) {
        auto made = std::make_shared<IORegistryEntry>();
        made->className = className;
        made->properties = std::move(properties);
        return made;
    }

    static std::vector<std::shared_ptr<const IORegistryEntry>> entries() {
        CFDictionary withMaker{{"DeviceDescriptor", CFDictionary{{"ManufacturerString", "Maker"}}}};
        CFDictionary numberKeyed;
        numberKeyed.set(CFValue(1), CFValue("x"));
        numberKeyed.set(CFValue("DeviceDescriptor"), CFValue(CFDictionary{{"ManufacturerString", "Hidden"}}));
        return {
            // By unique identifier: the first has no manufacturer text, so the search goes on.
            entry("IOHIDUserDevice", {{"PhysicalDeviceUniqueID", "ID-1"}, {"PrimaryUsage", 2}}),
            entry("IOHIDUserDevice", {{"PhysicalDeviceUniqueID", "ID-1"}, {"PrimaryUsage", 2}, {"Manufacturer", "Acme"}}),
            entry("IOHIDUserDevice", {{"PhysicalDeviceUniqueID", "ID-2"}, {"PrimaryUsage", 6.0}, {"Manufacturer", "Keys"}}),
            entry("IOHIDUserDevice", {{"PhysicalDeviceUniqueID", "ID-3"}, {"PrimaryUsage", 2.5}, {"Manufacturer", "Odd"}}),
            // By address.
            entry("AppleHSBluetoothDevice", {{"DeviceAddress", "aa-bb"}, {"Descriptors", CFDictionary{}}}),
            entry("AppleHSBluetoothDevice", {{"DeviceAddress", "aa-bb"}, {"Descriptors", withMaker}}),
            entry("AppleHSBluetoothDevice", {{"DeviceAddress", "cc-dd"}, {"Descriptors", numberKeyed}}),
            entry("AppleHSBluetoothDevice", {{"DeviceAddress", "ee-ff"}, {"Descriptors", CFDictionary{{"Other", 1}}}}),
            entry("AppleHSBluetoothDevice",
                  {{"DeviceAddress", "11-22"}, {"Descriptors", CFDictionary{{"DeviceDescriptor", CFDictionary{{"X", 1}}}}}}),
        };
    }

    std::shared_ptr<IORegistry> registry;
};

}  // namespace

TEST_F(IOKitControllerTest, FindsUsageAndMakerByUniqueIdentifierAndRemembersOnlyHits) {
    IOKitController controller;
    EXPECT_EQ(controller.deviceProperties("ID-1"), (DeviceProperties{2, "Acme"}));
    // Only the service with the identifier is read, however many others the registry has.
    auto before = registry->propertyReads();
    EXPECT_EQ(controller.deviceProperties("ID-2"), (DeviceProperties{6, "Keys"}));
    EXPECT_EQ(registry->propertyReads() - before, 3u);
    EXPECT_FALSE(controller.deviceProperties("ID-3"));  // 2.5 is no integer
    EXPECT_FALSE(controller.deviceProperties("id-1"));  // exact comparison

    // A hit is answered from memory without reading the registry.
    auto reads = registry->propertyReads();
    EXPECT_EQ(controller.deviceProperties("ID-1"), (DeviceProperties{2, "Acme"}));
    EXPECT_EQ(registry->propertyReads(), reads);
    // A miss searches again every time.
    EXPECT_FALSE(controller.deviceProperties("ID-3"));
    auto afterMiss = registry->propertyReads();
    EXPECT_GT(afterMiss, reads);
    EXPECT_FALSE(controller.deviceProperties("ID-3"));
    EXPECT_GT(registry->propertyReads(), afterMiss);
    EXPECT_FALSE(controller.deviceProperties("ID-9"));
    EXPECT_EQ(controller.deviceProperties().size(), 2u);
}

TEST_F(IOKitControllerTest, FindsTheMakerByAddressThroughTheDescriptors) {
    IOKitController controller;
    EXPECT_EQ(controller.manufacturer("aa-bb"), "Maker");  // the first such service has empty descriptors
    EXPECT_FALSE(controller.manufacturer("AA-BB"));
    EXPECT_FALSE(controller.manufacturer("cc-dd"));  // descriptors keyed by more than texts
    EXPECT_FALSE(controller.manufacturer("ee-ff"));  // no device descriptor
    EXPECT_FALSE(controller.manufacturer("11-22"));  // no manufacturer text
    EXPECT_EQ(controller.manufacturers(), (std::map<std::string, std::string>{{"aa-bb", "Maker"}}));

    auto reads = registry->propertyReads();
    EXPECT_EQ(controller.manufacturer("aa-bb"), "Maker");
    EXPECT_EQ(registry->propertyReads(), reads);
}
