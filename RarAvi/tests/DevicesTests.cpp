#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "Foundation/SystemRoot.hpp"
#include "RarAvi/Devices.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RarAvi;

namespace {

template <class Model>
std::shared_ptr<Model> lookUp(const std::string& identifier) {
    return std::dynamic_pointer_cast<Model>(Devices::device(identifier));
}

}  // namespace

TEST(DevicesTest, LooksUpEachFamilyIntoItsOwnClass) {
    auto phone = lookUp<Phone>("iPhone14,5");
    ASSERT_TRUE(phone);
    EXPECT_EQ(phone->name(), "iPhone 13");
    EXPECT_EQ(phone->shortName(), "iPhone 13");
    EXPECT_EQ(phone->iconName(), "com.apple.iphone-12-1.icns");

    auto first = lookUp<Phone>("iPhone1,1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name(), "iPhone");
    EXPECT_FALSE(first->iconName());
    EXPECT_FALSE(first->icon());

    auto tablet = lookUp<Tablet>("iPad1,2");
    ASSERT_TRUE(tablet);
    EXPECT_EQ(tablet->name(), "iPad");
    EXPECT_EQ(tablet->shortName(), "iPad 3G");
    EXPECT_EQ(lookUp<Tablet>("iPad13,10")->name(), "iPad Pro 12.9 inch 5th Gen");
    EXPECT_EQ(lookUp<Tablet>("iPad13,11")->name(), "iPad Pro 12.9 inch 5th Gen");

    auto watch = lookUp<Watch>("Watch6,2");
    ASSERT_TRUE(watch);
    EXPECT_EQ(watch->name(), "Apple Watch Series 6 44mm case (GPS)");

    auto player = lookUp<Audio>("iPod9,1");
    ASSERT_TRUE(player);
    EXPECT_EQ(player->name(), "7th Gen iPod");
    EXPECT_EQ(player->iconName(), "com.apple.ipod-touch-7-5.icns");
}

TEST(DevicesTest, UnknownOrMiswrittenIdentifiersYieldNothing) {
    for (const char* identifier : {"iphone14,5",   // the family words are case-sensitive
                                   "iPhone15,2",   // a phone, but not catalogued: no other family is tried
                                   "MyiPad8,1",    // contains "iPad" but equals no row
                                   "iPhone14,5 ",  // rows compare for exact equality
                                   "Watch", "AirPods2,1", ""}) {
        EXPECT_FALSE(Devices::device(identifier)) << identifier;
    }
    // Only the first family word found decides: "iPhone" comes before "iPad".
    EXPECT_FALSE(Devices::device("iPhone-iPad1,1"));
}

TEST(DevicesTest, EveryLookupMakesANewObject) {
    auto a = Devices::device("Watch1,1"), b = Devices::device("Watch1,1");
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    a->setName("Changed");
    a->setIconName(std::nullopt);
    EXPECT_EQ(b->name(), "Apple Watch 38mm case");
    EXPECT_EQ(Devices::device("Watch1,1")->iconName(), "com.apple.watch-38mm-3.icns");
}

// Every tablet identifier the catalogue knows, in the order they are compared.
TEST(DevicesTest, TabletTableCoversEveryTabletIdentifier) {
    const std::string identifiers =
        "iPad1,1 iPad1,2 iPad2,1 iPad2,2 iPad2,3 iPad2,4 iPad2,5 iPad2,6 iPad2,7 iPad3,1 iPad3,2 iPad3,3 iPad3,4 "
        "iPad3,5 iPad3,6 iPad4,1 iPad4,2 iPad4,3 iPad4,4 iPad4,5 iPad4,6 iPad4,7 iPad4,8 iPad4,9 iPad5,1 iPad5,2 "
        "iPad5,3 iPad5,4 iPad6,3 iPad6,4 iPad6,7 iPad6,8 iPad6,11 iPad6,12 iPad7,1 iPad7,2 iPad7,3 iPad7,4 iPad7,5 "
        "iPad7,6 iPad7,11 iPad7,12 iPad8,1 iPad8,2 iPad8,3 iPad8,4 iPad8,5 iPad8,6 iPad8,7 iPad8,8 iPad8,9 iPad8,10 "
        "iPad8,11 iPad8,12 iPad11,1 iPad11,2 iPad11,3 iPad11,4 iPad11,6 iPad11,7 iPad13,1 iPad13,2 iPad13,4 "
        "iPad13,5 iPad13,6 iPad13,7 iPad13,8 iPad13,9 iPad13,10 iPad13,11";
    std::istringstream words(identifiers);
    std::string identifier;
    int count = 0;
    while (words >> identifier) {
        ++count;
        auto tablet = lookUp<Tablet>(identifier);
        ASSERT_TRUE(tablet) << identifier;
        EXPECT_FALSE(tablet->name().empty()) << identifier;
        EXPECT_FALSE(tablet->shortName().empty()) << identifier;
        ASSERT_TRUE(tablet->iconName()) << identifier;
        EXPECT_TRUE(tablet->iconName()->starts_with("com.apple.ipad") && tablet->iconName()->ends_with(".icns"))
            << identifier;
    }
    EXPECT_EQ(count, 70);

    // The rows the catalogue fixes keep their values.
    EXPECT_EQ(lookUp<Tablet>("iPad2,5")->iconName(), "com.apple.ipad-mini-black-wifi.icns");
    EXPECT_EQ(lookUp<Tablet>("iPad3,4")->name(), "4th Gen iPad");
    EXPECT_EQ(lookUp<Tablet>("iPad4,9")->name(), "iPad Mini 3 (China)");
    EXPECT_EQ(lookUp<Tablet>("iPad5,2")->name(), "4th Gen iPad mini (WiFi+Cellular)");
    EXPECT_EQ(lookUp<Tablet>("iPad6,12")->iconName(), "com.apple.ipad-pro-9point7-wifi-b9b7ba.icns");
    EXPECT_EQ(lookUp<Tablet>("iPad8,2")->shortName(), "iPad Pro 11");
    EXPECT_EQ(lookUp<Tablet>("iPad11,6")->shortName(), "iPad 8th");
    EXPECT_EQ(lookUp<Tablet>("iPad13,4")->name(), "iPad Pro 11 inch 3rd Gen");
}

// The icons come from the system's mobile-device bundle, found under the system root.
class DeviceIconTest : public ::testing::Test {
protected:
    void TearDown() override { SystemRoot::setPath({}); }
};

TEST_F(DeviceIconTest, IconIsReadFromTheBundleUnderTheSystemRoot) {
    SystemRoot::setPath(std::filesystem::path(QUILLON_FIXTURES_DIR) / "systemroot");
    auto phone = Devices::device("iPhone14,5");
    auto icon = phone->icon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), (CGSize{32, 48}));
    EXPECT_NE(phone->icon(), icon);  // read anew each time

    // The icon follows the name it is given now.
    phone->setIconName("com.apple.ipad-pro-11-1.icns");
    ASSERT_TRUE(phone->icon());
    EXPECT_EQ(phone->icon()->size(), (CGSize{48, 36}));
    phone->setIconName("com.apple.ipad-pro-11-1");  // without the extension it is still found
    EXPECT_TRUE(phone->icon());

    // A catalogued icon name the bundle lacks gives no icon.
    EXPECT_FALSE(Devices::device("iPad1,1")->icon());
}

TEST_F(DeviceIconTest, NoIconWithoutTheBundleOrWithABrokenImage) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    EXPECT_FALSE(Devices::device("iPhone14,5")->icon());

    root.write("System/Library/CoreServices/CoreTypes.bundle/Contents/Library/MobileDevices.bundle/Contents/"
               "Resources/com.apple.iphone-12-1.icns",
               "");
    EXPECT_FALSE(Devices::device("iPhone14,5")->icon());
}
