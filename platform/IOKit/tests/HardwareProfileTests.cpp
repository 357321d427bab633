#include <gtest/gtest.h>

#include <cstdlib>

#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IOKitLib.hpp"
#include "IOKit/SysfsRegistryProvider.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const std::filesystem::path profiles = std::filesystem::path(QUILLON_FIXTURES_DIR) / "profiles";

/// Sets or clears the profile variable for one test.
class ProfileVariable {
public:
    explicit ProfileVariable(const char* value) {
        if (const char* old = std::getenv(HardwareProfile::environmentVariable)) saved_ = old;
        if (value) {
            ::setenv(HardwareProfile::environmentVariable, value, 1);
        } else {
            ::unsetenv(HardwareProfile::environmentVariable);
        }
    }
    ~ProfileVariable() {
        if (saved_) {
            ::setenv(HardwareProfile::environmentVariable, saved_->c_str(), 1);
        } else {
            ::unsetenv(HardwareProfile::environmentVariable);
        }
    }

private:
    std::optional<std::string> saved_;
};

std::string errorOf(const std::string& json) {
    try {
        HardwareProfile::registryEntries(nlohmann::json::parse(json));
    } catch (const HardwareProfileError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(HardwareProfile, TheDemoProfileListsItsEntriesWithTheirValues) {
    auto entries = HardwareProfile::registryEntries(HardwareProfile::read(profiles / "demo.json"));
    ASSERT_EQ(entries.size(), 4u);
    const auto& mouse = *entries[1];
    EXPECT_EQ(mouse.className, "AppleDeviceManagementHIDEventService");
    EXPECT_TRUE(mouse.conformsTo("IOHIDEventService"));
    EXPECT_EQ(mouse.parent, nullptr);
    EXPECT_EQ(mouse.properties.find("Product")->stringValue(), "Orbit Mouse");
    EXPECT_EQ(mouse.properties.find("BatteryPercent")->intValue(), 15);
    EXPECT_FALSE(mouse.properties.find("BatteryPercent")->numberValue()->isFloatType());
    EXPECT_EQ(entries[3]->className, "IOHIDUserDevice");

    EXPECT_TRUE(HardwareProfile::registryEntries(HardwareProfile::read(profiles / "empty.json")).empty());
}

TEST(HardwareProfile, ValuesKeepTheirKindAndParentsAreLinkedWhereverTheyStand) {
    auto entries = HardwareProfile::registryEntries(nlohmann::json::parse(R"({"registry": [
        {"class": "AppleSmartBattery", "parent": "smc",
         "properties": {"Whole": 5, "Real": 5.0, "Flag": true, "Gone": null, "List": [1, "a", null],
                        "Nested": {"Key": "value"}, "Huge": 18446744073709551615}},
        {"id": "smc", "class": "AppleSMC", "properties": {"IOProviderClass": "AppleSMC"}}]})"));
    ASSERT_EQ(entries.size(), 2u);
    const auto& properties = entries[0]->properties;
    EXPECT_FALSE(properties.find("Whole")->numberValue()->isFloatType());
    EXPECT_TRUE(properties.find("Real")->numberValue()->isFloatType());
    EXPECT_TRUE(properties.find("Flag")->isBoolean());
    EXPECT_EQ(properties.find("Gone"), nullptr);
    EXPECT_EQ(*properties.find("List"), CFValue(CFArray{1, "a"}));
    EXPECT_EQ(properties.find("Nested")->dictionaryValue()->find("Key")->stringValue(), "value");
    EXPECT_TRUE(properties.find("Huge")->numberValue()->isFloatType());
    EXPECT_EQ(entries[0]->parent, entries[1]);
}

TEST(HardwareProfile, MalformedProfilesAreRefusedWithAReason) {
    EXPECT_EQ(errorOf(R"({"bluetooth": {}})"), "");  // a profile without registry has no entries
    EXPECT_NE(errorOf(R"({"registry": {}})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"properties": {}}]})").find("has no \"class\""), std::string::npos);
    EXPECT_NE(errorOf(R"({"registry": [{"class": 5}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"class": "A", "properties": [1]}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"class": "A", "superclasses": [1]}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"class": "A", "parent": "nobody"}]})").find("nobody"), std::string::npos);
    EXPECT_NE(errorOf(R"({"registry": [{"id": "x", "class": "A"}, {"id": "x", "class": "B"}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"id": "a", "class": "A", "parent": "b"},
                                      {"id": "b", "class": "B", "parent": "a"}]})").find("ancestor"), std::string::npos);

    TemporaryDirectory directory;
    EXPECT_THROW(HardwareProfile::read(directory.path() / "missing.json"), HardwareProfileError);
    EXPECT_THROW(HardwareProfile::read(directory.write("broken.json", "{\"registry\": [")), HardwareProfileError);
    EXPECT_THROW(HardwareProfile::read(directory.write("list.json", "[]")), HardwareProfileError);
}

TEST(HardwareProfile, TheEnvironmentChoosesBetweenTheMachineAndAProfile) {
    {
        ProfileVariable unset(nullptr);
        EXPECT_FALSE(HardwareProfile::path());
        EXPECT_TRUE(std::dynamic_pointer_cast<SysfsRegistryProvider>(IORegistry::defaultProvider()));
    }
    {
        ProfileVariable empty("");
        EXPECT_FALSE(HardwareProfile::path());
    }
    {
        auto demo = (profiles / "demo.json").string();
        ProfileVariable named(demo.c_str());
        EXPECT_EQ(HardwareProfile::path(), demo);
        IORegistry::setCurrent(nullptr);
        io_iterator_t iterator = 0;
        ASSERT_EQ(IOServiceGetMatchingServices(kIOMainPortDefault, IOServiceMatching("AppleDeviceManagementHIDEventService"), &iterator),
                  KERN_SUCCESS);
        int count = 0;
        while (io_service_t service = IOIteratorNext(iterator)) {
            ++count;
            IOObjectRelease(service);
        }
        IOObjectRelease(iterator);
        EXPECT_EQ(count, 3);
        IORegistry::setCurrent(nullptr);
    }
}

TEST(HardwareProfileDeathTest, ANamedProfileThatCannotBeReadStopsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ::setenv(HardwareProfile::environmentVariable, "/nonexistent/profile.json", 1);
            IORegistry::defaultProvider();
        },
        "cannot read hardware profile /nonexistent/profile.json");
}
