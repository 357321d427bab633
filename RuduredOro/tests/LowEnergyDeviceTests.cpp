#include <gtest/gtest.h>

#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Locale.hpp"
#include "RuduredOro/LowEnergyDevice.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

class LowEnergyDeviceTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    }

    std::shared_ptr<LowEnergyDevice> device(const std::string& name, std::optional<std::string> manufacturer) {
        auto peripheral = std::make_shared<CBPeripheral>(stack, *::UUID::fromString("6F1A2B3C-0000-4000-8000-0000000000D1"),
                                                         name);
        auto made = std::make_shared<LowEnergyDevice>(peripheral);
        made->setManufacturer(std::move(manufacturer));
        return made;
    }

    static std::string symbolOf(const BatteryDevice& device) {
        auto image = device.symbolName();
        return image && image->symbolName() ? *image->symbolName() : "(none)";
    }

    std::shared_ptr<SimulatedBluetoothStack> stack = std::make_shared<SimulatedBluetoothStack>();
};

}  // namespace

TEST_F(LowEnergyDeviceTest, OneMakersDevicesAreToldByTheExactWordsOfTheirNames) {
    EXPECT_EQ(symbolOf(*device("MX Master 3", "Logitech")), "cursorarrow");
    EXPECT_EQ(symbolOf(*device("MX Keys Mini", "Logitech")), "keyboard");
    EXPECT_EQ(symbolOf(*device("MX Anywhere 3", "Made by Logitech Inc.")), "cursorarrow");
    // Words compare exactly: another letter case or a second blank finds nothing of the maker's.
    EXPECT_EQ(symbolOf(*device("MX master", "Logitech")), "dot.radiowaves.right");
    EXPECT_EQ(symbolOf(*device("MX  Keys", "Logitech")), "keyboard");
    EXPECT_EQ(symbolOf(*device("K380", std::nullopt)), "dot.radiowaves.right");  // the rule needs the maker
    EXPECT_EQ(symbolOf(*device("K380", "logitech")), "dot.radiowaves.right");

    // A catalogued model identifier comes first, whatever the name.
    auto watch = device("MX Master", "Logitech");
    watch->setInternalName("Watch6,1");
    EXPECT_EQ(symbolOf(*watch), "applewatch");
    watch->setInternalName("iPad8,1");
    EXPECT_EQ(symbolOf(*watch), "ipad");
}

TEST_F(LowEnergyDeviceTest, CategoryAndInformationTexts) {
    auto made = device("Thing", std::nullopt);
    EXPECT_EQ(made->category(), "Unknown");
    EXPECT_TRUE(made->infoStrings().empty());
    made->setModel("iPod9,1");
    EXPECT_EQ(made->category(), "Music player");
    made->setIsKeyboard(true);
    EXPECT_EQ(made->category(), "Keyboard");
    made->setIsMouse(true);
    EXPECT_EQ(made->category(), "Pointing device");

    made->setFirmwareRevision("1.2");
    auto texts = made->infoStrings();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts.at(PropertyKey::firmware), "1.2");
}

TEST_F(LowEnergyDeviceTest, ADecodedDeviceHasNoPeripheralAndWasNeverHeardFrom) {
    LowEnergyDevice decoded(KeyedContainer::parse(
        R"({"isCharging": false, "type": "Low Energy", "name": "Pen", "serial": "S", "batteryLevel": 40})"));
    EXPECT_FALSE(decoded.peripheral());
    EXPECT_EQ(decoded.lastUpdate(), 0.0);
    EXPECT_FALSE(decoded.isMouse() || decoded.isKeyboard() || decoded.isConnected() || decoded.isDiscovered());
    EXPECT_EQ(decoded.batteryLevel(), 40);
    EXPECT_EQ(decoded.type(), DeviceType::lowEnergy);
}
