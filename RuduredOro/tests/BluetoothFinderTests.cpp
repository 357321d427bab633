#include <gtest/gtest.h>

#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "RuduredOro/BluetoothFinder.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

const std::filesystem::path fixtures(QUILLON_FIXTURES_DIR);

/// The properties of a service that carries everything the finder needs.
CFDictionary complete(const std::string& address, const std::string& product, CFValue percent = 50) {
    return CFDictionary{{"DeviceAddress", address}, {"BatteryPercent", std::move(percent)}, {"Transport", "Bluetooth"},
                        {"VendorID", 0x046D},       {"ProductID", 0xB025},                  {"Product", product}};
}

CFDictionary with(CFDictionary properties, const std::string& key, CFValue value) {
    properties.set(CFValue(key), std::move(value));
    return properties;
}

CFDictionary without(CFDictionary properties, const std::string& key) {
    properties.remove(CFValue(key));
    return properties;
}

class BluetoothFinderTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        if (registry) {
            EXPECT_EQ(registry->openHandles(), 0u) << "the finder left handles unreleased";
        }
        IORegistry::setCurrent(nullptr);
        VirtualTimeTest::TearDown();
    }

    void install(const std::vector<std::pair<std::string, CFDictionary>>& services) {
        std::vector<std::shared_ptr<const IORegistryEntry>> entries;
        for (const auto& [className, properties] : services) {
            auto entry = std::make_shared<IORegistryEntry>();
            entry->className = className;
            entry->properties = properties;
            entries.push_back(entry);
        }
        install(std::make_shared<StaticRegistryProvider>(entries));
    }
    void install(std::shared_ptr<IORegistryProvider> provider) {
        registry = std::make_shared<IORegistry>(std::move(provider));
        IORegistry::setCurrent(registry);
    }

    /// The type the finder gives a single service with these properties.
    DeviceType typeOf(const CFDictionary& properties) {
        install({{"AppleDeviceManagementHIDEventService", properties}});
        auto devices = BluetoothFinder().find();
        EXPECT_EQ(devices.size(), 1u);
        return devices.empty() ? DeviceType(DeviceType::undefined) : devices[0]->type();
    }

    std::vector<std::string> names(const std::vector<std::shared_ptr<BatteryDevice>>& devices) {
        std::vector<std::string> result;
        for (const auto& device : devices) result.push_back(device->name());
        return result;
    }

    std::shared_ptr<IORegistry> registry;
};

}  // namespace

TEST(Planes, SixClassesInTheirOrder) {
    EXPECT_EQ(Planes::classNames(),
              (std::vector<std::string>{"AppleDeviceManagementHIDEventService", "IOAppleBluetoothHIDDriver",
                                        "AppleBluetoothHIDKeyboard", "AppleHSBluetoothDevice", "BNBTrackpadDevice",
                                        "BNBMouseDevice"}));
}

TEST_F(BluetoothFinderTest, NothingInTheRegistryGivesNoDevices) {
    install(std::make_shared<HardwareProfileProvider>(fixtures / "profiles" / "empty.json"));
    BluetoothFinder finder;
    EXPECT_TRUE(finder.find().empty());
    finder.refresh();
    EXPECT_TRUE(finder.devices().empty());
    EXPECT_FALSE(serviceProperties("AppleDeviceManagementHIDEventService"));
}

TEST_F(BluetoothFinderTest, SearchesEveryClassInOrderAndKeepsTheFirstOfASerial) {
    install({{"BNBMouseDevice", complete("aa-01", "Mouse from the last class")},
             {"IOAppleBluetoothHIDDriver", complete("AA-01", "Same mouse, earlier class")},
             {"AppleHSBluetoothDevice", complete("bb-02", "Keyboard")},
             {"AppleDeviceManagementHIDEventService", complete("cc-03", "Trackpad")},
             {"IOAppleBluetoothHIDDriver", complete("aa-01", "Same mouse, later service")},
             {"SomeOtherClass", complete("dd-04", "Not searched")}});
    BluetoothFinder finder;
    auto devices = finder.find();
    EXPECT_EQ(names(devices), (std::vector<std::string>{"Trackpad", "Same mouse, earlier class", "Keyboard"}));
    EXPECT_EQ(devices[1]->serial(), "AA-01");  // as read: no change of case or separators
    EXPECT_TRUE(finder.devices().empty());     // find() leaves the list alone

    finder.refresh();
    auto first = finder.devices();
    finder.refresh();
    ASSERT_EQ(finder.devices().size(), 3u);
    EXPECT_NE(finder.devices()[0], first[0]);  // new objects each time, same serials
    EXPECT_EQ(finder.devices()[0]->serial(), first[0]->serial());
}

TEST_F(BluetoothFinderTest, ADictionaryWithoutEveryRequiredKeyIsPassedOver) {
    auto base = complete("aa", "Listed");
    install({{"AppleDeviceManagementHIDEventService", without(base, "DeviceAddress")},
             {"AppleDeviceManagementHIDEventService", without(base, "BatteryPercent")},
             {"AppleDeviceManagementHIDEventService", without(base, "Transport")},
             {"AppleDeviceManagementHIDEventService", without(base, "VendorID")},
             {"AppleDeviceManagementHIDEventService", without(base, "ProductID")},
             {"AppleDeviceManagementHIDEventService", without(base, "Product")},
             {"AppleDeviceManagementHIDEventService", with(base, "Product", "")},
             {"AppleDeviceManagementHIDEventService", with(base, "DeviceAddress", 5)},
             {"AppleDeviceManagementHIDEventService", with(base, "BatteryPercent", "50")},
             {"AppleDeviceManagementHIDEventService", with(base, "Transport", true)},
             {"AppleDeviceManagementHIDEventService", with(base, "VendorID", "0x046D")},
             {"AppleDeviceManagementHIDEventService", with(base, "ProductID", 2.5)},
             {"AppleDeviceManagementHIDEventService", with(base, "Product", CFArray{"x"})},
             // Accepted: a whole-valued floating-point product id, a Boolean percent, an empty address.
             {"AppleDeviceManagementHIDEventService", with(with(base, "ProductID", 7.0), "DeviceAddress", "b")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "BatteryPercent", true), "DeviceAddress", "c")},
             {"AppleDeviceManagementHIDEventService", with(base, "DeviceAddress", "")}});
    auto devices = BluetoothFinder().find();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0]->productId(), 7);
    EXPECT_EQ(devices[1]->batteryLevel(), 1);
    EXPECT_EQ(devices[2]->serial(), "");
}

TEST_F(BluetoothFinderTest, TheTypeFollowsTheFirstRuleThatApplies) {
    auto base = complete("aa", "Device");
    // 1. A raw value of DeviceType in "HIDDefaultBehavior" wins over every marker.
    EXPECT_EQ(typeOf(with(with(base, "HIDDefaultBehavior", "Mouse"), "Marker", "KBLowBattery")), DeviceType::mouse);
    EXPECT_EQ(typeOf(with(base, "HIDDefaultBehavior", "Headset")), DeviceType::headset);
    // A word in the wrong case is no raw value: the other rules decide.
    EXPECT_EQ(typeOf(with(with(base, "HIDDefaultBehavior", "mouse"), "Marker", "KBLowBattery")), DeviceType::keyboard);
    // 2 to 4. Exact marker values, the mouse markers before the keyboard's.
    EXPECT_EQ(typeOf(with(with(base, "A", "KBLowBattery"), "B", "MOLowBattery")), DeviceType::mouse);
    EXPECT_EQ(typeOf(with(with(base, "A", "KBLowBattery"), "B", "USBConnectedMO")), DeviceType::mouse);
    EXPECT_EQ(typeOf(with(base, "A", "KBLowBattery")), DeviceType::keyboard);
    EXPECT_EQ(typeOf(with(base, "A", "molowbattery")), DeviceType::trackpad);
    // 5. A value containing "keyboard" in any case (the product name counts).
    EXPECT_EQ(typeOf(with(base, "Product", "Magic KeyBoard")), DeviceType::keyboard);
    // 6. A key containing "keyboard" in any case, whatever its value.
    EXPECT_EQ(typeOf(with(base, "IsKEYBOARDDevice", 1)), DeviceType::keyboard);
    // 7. No sign at all; a value that is not a text says nothing.
    EXPECT_EQ(typeOf(base), DeviceType::trackpad);
    EXPECT_EQ(typeOf(with(base, "Kind", CFArray{"KBLowBattery"})), DeviceType::trackpad);
}

TEST_F(BluetoothFinderTest, FieldsOfAFoundDevice) {
    auto base = complete("E4-9A-dc-01", "Orbit Mouse", 64);
    install({{"AppleDeviceManagementHIDEventService", with(base, "Transport", "USB")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "Transport", "usb"), "DeviceAddress", "b")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "VendorID", 0x05AC), "DeviceAddress", "c")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "VendorID", 0x1004C), "DeviceAddress", "d")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "BatteryPercent", 0), "DeviceAddress", "e")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "BatteryPercent", 1), "DeviceAddress", "f")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "BatteryPercent", 0.53), "DeviceAddress", "g")},
             {"AppleDeviceManagementHIDEventService", with(with(base, "BatteryPercent", 250), "DeviceAddress", "h")}});
    auto devices = BluetoothFinder().find();
    ASSERT_EQ(devices.size(), 8u);
    const auto& first = *devices[0];
    EXPECT_EQ(first.name(), "Orbit Mouse");
    EXPECT_EQ(first.serial(), "E4-9A-dc-01");
    EXPECT_EQ(first.batteryLevel(), 64);
    EXPECT_EQ(first.productId(), 0xB025);
    EXPECT_EQ(first.manufacturer(), "Logitech Inc.");
    EXPECT_FALSE(first.vendorId());
    EXPECT_TRUE(first.isCharging());           // "USB"
    EXPECT_FALSE(devices[1]->isCharging());    // "usb" is not
    EXPECT_FALSE(devices[2]->manufacturer());  // a vendor the table does not know
    EXPECT_EQ(devices[3]->manufacturer(), "Apple Inc.");  // the vendor number taken as 16 bits
    EXPECT_FALSE(devices[4]->batteryLevel());  // listed, with no level
    EXPECT_EQ(devices[5]->batteryLevel(), 1);
    EXPECT_EQ(devices[6]->batteryLevel(), 52);
    EXPECT_FALSE(devices[7]->batteryLevel());
}

TEST_F(BluetoothFinderTest, AServiceThatCannotBeReadDoesNotStopTheOthers) {
    install({{"AppleDeviceManagementHIDEventService", complete("a", "First")},
             {"AppleDeviceManagementHIDEventService", complete("b", "Unreadable")},
             {"AppleDeviceManagementHIDEventService", complete("c", "Last")}});
    registry->setFaults({KERN_SUCCESS, [](const IORegistryEntry& entry) {
                             return entry.properties.find("Product")->stringValue() == "Unreadable";
                         }});
    EXPECT_EQ(names(BluetoothFinder().find()), (std::vector<std::string>{"First", "Last"}));

    registry->setFaults({kIOReturnError, nullptr});
    EXPECT_FALSE(serviceProperties("AppleDeviceManagementHIDEventService"));
    EXPECT_TRUE(BluetoothFinder().find().empty());
}

TEST_F(BluetoothFinderTest, TheLinuxMachinesPeripheralsAsAUserSeesThem) {
    install(std::make_shared<SysfsRegistryProvider>(fixtures / "sysfs" / "laptop"));
    BluetoothFinder finder;
    finder.refresh();
    auto laptop = finder.devices();
    ASSERT_EQ(laptop.size(), 3u);
    EXPECT_EQ(laptop[0]->name(), "Orbit Mouse");
    EXPECT_EQ(laptop[0]->type(), DeviceType::mouse);
    EXPECT_EQ(laptop[0]->batteryLevel(), 64);
    EXPECT_FALSE(laptop[0]->isCharging());
    EXPECT_EQ(laptop[0]->manufacturer(), "Logitech Inc.");
    EXPECT_EQ(laptop[1]->name(), "Slim Keys K9");
    EXPECT_EQ(laptop[1]->type(), DeviceType::keyboard);
    EXPECT_EQ(laptop[1]->batteryLevel(), 55);
    EXPECT_FALSE(laptop[1]->isCharging());
    EXPECT_EQ(laptop[2]->name(), "Track M7");  // it tells only that its level is "Normal"
    EXPECT_EQ(laptop[2]->type(), DeviceType::mouse);
    EXPECT_EQ(laptop[2]->batteryLevel(), 55);

    install(std::make_shared<SysfsRegistryProvider>(fixtures / "sysfs" / "desk"));
    finder.refresh();
    auto desk = finder.devices();
    ASSERT_EQ(desk.size(), 3u);
    EXPECT_EQ(desk[0]->name(), "Glide Trackpad");
    EXPECT_EQ(desk[0]->type(), DeviceType::trackpad);
    EXPECT_EQ(desk[0]->batteryLevel(), 81);
    EXPECT_TRUE(desk[0]->isCharging());
    EXPECT_EQ(desk[1]->name(), "Quiet Keyboard");
    EXPECT_EQ(desk[1]->type(), DeviceType::keyboard);
    EXPECT_EQ(desk[1]->batteryLevel(), 100);
    EXPECT_FALSE(desk[1]->isCharging());
    // A game pad is no trackpad: it has the kind of a device the finder does not know.
    EXPECT_EQ(desk[2]->name(), "Wireless Controller");
    EXPECT_EQ(desk[2]->type(), DeviceType::undefined);
    EXPECT_FALSE(desk[2]->image());
}
