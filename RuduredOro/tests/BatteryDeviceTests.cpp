#include <gtest/gtest.h>

#include "Foundation/Locale.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/UUID.hpp"
#include "RuduredOro/BatteryDevice.hpp"
#include "RuduredOro/DoubleBatteryDevice.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

KeyedContainer encoded(const BatteryDevice& device) {
    KeyedContainer container;
    device.encode(container);
    return container;
}

std::vector<std::string> keysOf(const KeyedContainer& container) {
    std::vector<std::string> keys;
    for (const auto& item : container.items()) keys.push_back(item.key());
    return keys;
}

KeyedContainer minimal() {
    return KeyedContainer::parse(R"({"isCharging": true, "type": "Mouse", "name": "M", "serial": "s-1"})");
}

DecodingError::Kind decodingFailure(const KeyedContainer& container) {
    try {
        BatteryDevice device(container);
    } catch (const DecodingError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "decoded " << container.dump();
    return DecodingError::Kind::dataCorrupted;
}

std::optional<int> levelOf(CFNumber percent) {
    auto level = SingleBatteryDevice(DeviceType::mouse, "m", percent).batteryLevel();
    return level ? std::optional<int>(*level) : std::nullopt;
}

/// Tests that read the module's texts, in English.
class InEnglish : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    }
};

}  // namespace

TEST(DeviceType, RawValuesAreMatchedExactly) {
    EXPECT_EQ(DeviceType::from("CHARGING_CASE"), DeviceType::chargingCase);
    EXPECT_EQ(DeviceType::from("Low Energy"), DeviceType::lowEnergy);
    for (const char* text : {"ChargingCase", "charging_case", "", "keyboard", "Undefined"}) {
        EXPECT_FALSE(DeviceType::from(text)) << text;
    }
    for (auto type : DeviceType::allCases()) EXPECT_EQ(DeviceType::from(type.rawValue()), type);
}

TEST_F(InEnglish, DeviceTypeDescriptionsComeFromTheModulesBundle) {
    EXPECT_EQ(DeviceType(DeviceType::keyboard).description(), "Keyboard");
    EXPECT_EQ(DeviceType(DeviceType::chargingCase).description(), "Charging case");
    Locale::setPreferredLanguages(std::vector<std::string>{"de"});
    EXPECT_EQ(DeviceType(DeviceType::keyboard).description(), "Tastatur");
}

TEST(BatteryDevice, SerialsThatDifferOnlyInCaseAreOneDevice) {
    auto upper = std::make_shared<BatteryDevice>(DeviceType::mouse, "first");
    upper->setSerial("A1-B2-C3");
    auto lower = std::make_shared<BatteryDevice>(DeviceType::keyboard, "second");
    lower->setSerial("a1-b2-c3");
    EXPECT_TRUE(*upper == *lower);
    EXPECT_NE(upper->id(), lower->id());  // equal, yet distinct objects with their own tokens

    BatteryDeviceSet set;
    EXPECT_TRUE(set.insert(upper).second);
    EXPECT_FALSE(set.insert(lower).second);
    EXPECT_EQ((*set.begin())->name(), "first");
    EXPECT_FALSE(BatteryDevice(DeviceType::keyboard, "K") == BatteryDevice(DeviceType::keyboard, "K"));

    // Letter case beyond ASCII counts the same way.
    upper->setSerial("\xC3\x84RGER");  // "ÄRGER"
    lower->setSerial("\xC3\xA4rger");  // "ärger"
    EXPECT_TRUE(*upper == *lower);
}

TEST(BatteryDevice, EncodesOnlyThePresentFieldsInOrder) {
    BatteryDevice device(DeviceType::keyboard, "K");
    auto container = encoded(device);
    EXPECT_EQ(keysOf(container), (std::vector<std::string>{"isCharging", "type", "name", "serial"}));
    EXPECT_EQ(container["type"], "Keyboard");
    EXPECT_EQ(container["isCharging"], false);
    EXPECT_EQ(container["serial"], device.serial());
    EXPECT_TRUE(::UUID::fromString(device.serial()));  // a new random serial, upper case
    EXPECT_EQ(device.serial().find_first_of("abcdef"), std::string::npos);

    device.setBatteryLevel(42);
    device.setProductId(-5);
    device.setManufacturer("Maker");
    device.setVendorId(0xFFFF);
    device.setInternalName("iPhone14,5");
    container = encoded(device);
    EXPECT_EQ(keysOf(container), (std::vector<std::string>{"isCharging", "type", "batteryLevel", "name", "productId",
                                                            "serial", "manufacturer", "vendorId"}));

    BatteryDevice decoded(container);
    EXPECT_TRUE(decoded == device);
    EXPECT_EQ(decoded.batteryLevel(), 42);
    EXPECT_EQ(decoded.productId(), -5);
    EXPECT_EQ(decoded.manufacturer(), "Maker");
    EXPECT_EQ(decoded.vendorId(), 0xFFFF);
    EXPECT_FALSE(decoded.internalName());  // never written, never read
    EXPECT_NE(decoded.id(), device.id());
}

TEST(BatteryDevice, DecodingRequiresItsKeysAndValuesThatFit) {
    using Kind = DecodingError::Kind;
    for (const char* key : {"isCharging", "type", "name", "serial"}) {
        auto container = minimal();
        container.erase(key);
        EXPECT_EQ(decodingFailure(container), Kind::keyNotFound) << key;
        container = minimal();
        container[key] = nullptr;
        EXPECT_EQ(decodingFailure(container), Kind::valueNotFound) << key;
    }
    auto with = [](const char* key, KeyedContainer value) {
        auto container = minimal();
        container[key] = std::move(value);
        return container;
    };
    EXPECT_EQ(decodingFailure(with("type", "keyboard")), Kind::dataCorrupted);
    EXPECT_EQ(decodingFailure(with("batteryLevel", 300)), Kind::dataCorrupted);
    EXPECT_EQ(decodingFailure(with("batteryLevel", 50.5)), Kind::dataCorrupted);
    EXPECT_EQ(decodingFailure(with("vendorId", 65536)), Kind::dataCorrupted);
    EXPECT_EQ(decodingFailure(with("batteryLevel", "50")), Kind::typeMismatch);
    EXPECT_EQ(decodingFailure(with("isCharging", 1)), Kind::typeMismatch);
    EXPECT_EQ(decodingFailure(KeyedContainer::array()), Kind::typeMismatch);

    BatteryDevice device(with("internalName", "iPhone14,5"));
    EXPECT_FALSE(device.internalName());
    EXPECT_FALSE(device.batteryLevel());
    EXPECT_EQ(BatteryDevice(with("type", "Low Energy")).type(), DeviceType::lowEnergy);
    EXPECT_EQ(BatteryDevice(with("batteryLevel", 100.0)).batteryLevel(), 100);
}

TEST(SingleBatteryDevice, ReadsFractionsAndPercents) {
    // Floating-point values in (0, 1] are fractions, taken in single precision.
    EXPECT_EQ(levelOf(0.25), 25);
    EXPECT_EQ(levelOf(1.0), 100);
    EXPECT_EQ(levelOf(0.53), 52);
    EXPECT_EQ(levelOf(0.59), 58);
    EXPECT_EQ(levelOf(0.004), 0);
    // Everything else is a percent, truncated toward zero, kept in 1...100; the whole number 1
    // is 1 %, not a full battery.
    EXPECT_EQ(levelOf(1), 1);
    EXPECT_EQ(levelOf(100), 100);
    EXPECT_EQ(levelOf(50.7), 50);
    EXPECT_EQ(levelOf(100.9), 100);
    EXPECT_EQ(levelOf(CFNumber::boolean(true)), 1);
    for (CFNumber none : {CFNumber(0), CFNumber(0.0), CFNumber(-3), CFNumber(101), CFNumber(-0.5), CFNumber(std::nan("")),
                          CFNumber(INFINITY), CFNumber(1e30), CFNumber(std::int64_t{1} << 40)}) {
        EXPECT_FALSE(levelOf(none)) << none.doubleValue();
    }
}

TEST_F(InEnglish, AProfilerDeviceTakesItsMakerAndAKnownType) {
    SingleBatteryDevice logitech("Mouse", "aa-bb", 0x046D, 12, 80, std::string("Headset"));
    EXPECT_EQ(logitech.manufacturer(), "Logitech Inc.");
    EXPECT_EQ(logitech.vendorId(), 0x046D);
    EXPECT_EQ(logitech.type(), DeviceType::headset);
    SingleBatteryDevice other("X", "s", 0x05AC, std::nullopt, 10, std::string("headset"));
    EXPECT_EQ(other.manufacturer(), "Unknown manufacturer");
    EXPECT_EQ(other.type(), DeviceType::undefined);
    EXPECT_EQ(SingleBatteryDevice("X", "s", 0, std::nullopt, 10, std::nullopt).type(), DeviceType::undefined);
}

TEST(DoubleBatteryDevice, KeepsNoVendorIdAndRoundTripsAbsentLevels) {
    DoubleBatteryDevice pair("AirPods", "11-22", 0x004C, 0x200E, 80, std::nullopt, std::nullopt);
    EXPECT_EQ(pair.type(), DeviceType::headphones);
    EXPECT_FALSE(pair.vendorId());
    EXPECT_EQ(pair.manufacturer(), "Apple Inc.");
    EXPECT_EQ(DoubleBatteryDevice("x", "s", 1, std::nullopt, 1, 2, std::string("Headset")).type(), DeviceType::headset);
    EXPECT_EQ(DoubleBatteryDevice("x", "s", 1, std::nullopt, 1, 2, std::string("headset")).type(), DeviceType::headphones);

    auto container = encoded(pair);
    EXPECT_EQ(keysOf(container).back(), "secondLevel");
    EXPECT_EQ(container["firstLevel"], 80);
    EXPECT_TRUE(container["secondLevel"].is_null());
    EXPECT_FALSE(container.contains("vendorId"));

    // What it writes it reads back, null level and all; a missing level is absent as well.
    DoubleBatteryDevice decoded(container);
    EXPECT_EQ(decoded.firstLevel(), 80);
    EXPECT_FALSE(decoded.secondLevel());
    container.erase("firstLevel");
    EXPECT_FALSE(DoubleBatteryDevice(container).firstLevel());
    container["secondLevel"] = 256;
    EXPECT_THROW(DoubleBatteryDevice{container}, DecodingError);
}

class EarbudSymbols : public VirtualTimeTest {
protected:
    std::pair<std::string, std::string> symbols(const std::string& name) {
        DoubleBatteryDevice device(name, "s", 0, std::nullopt, 1, 1, std::nullopt);
        auto left = device.leftSymbolName(), right = device.rightSymbolName();
        return {left ? left->symbolName().value_or("?") : "-", right ? right->symbolName().value_or("?") : "-"};
    }
};

TEST_F(EarbudSymbols, FollowTheNameAndTheSystemVersion) {
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(symbols("My AIRPODS Pro"), Pair("airpodpro.left", "airpodpro.right"));
    EXPECT_EQ(symbols("AirPods"), Pair("airpod.left", "airpod.right"));
    EXPECT_EQ(symbols("Headphones"), Pair("l.circle.fill", "r.circle.fill"));
    EXPECT_EQ(symbols("Powerbeats Pro"), Pair("beats.powerbeatspro.left", "beats.powerbeatspro.right"));
    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{11, 6, 0});
    EXPECT_EQ(symbols("Powerbeats Pro"), Pair("l.circle.fill", "r.circle.fill"));
}
