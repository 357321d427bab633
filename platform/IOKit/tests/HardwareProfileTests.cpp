#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IOKitLib.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const std::filesystem::path profiles = std::filesystem::path(QUILLON_FIXTURES_DIR) / "profiles";

std::string errorOf(const std::string& json) {
    try {
        HardwareProfile::registryEntries(nlohmann::json::parse(json));
    } catch (const HardwareProfileError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(HardwareProfile, EntriesKeepTheirValueKindsAndParentsWhereverTheyStand) {
    auto demo = HardwareProfile::registryEntries(HardwareProfile::read(profiles / "demo.json"));
    ASSERT_EQ(demo.size(), 4u);
    EXPECT_TRUE(demo[1]->conformsTo("IOHIDEventService"));
    EXPECT_EQ(demo[1]->properties.find("Product")->stringValue(), "Orbit Mouse");
    EXPECT_TRUE(HardwareProfile::registryEntries(HardwareProfile::read(profiles / "empty.json")).empty());

    auto entries = HardwareProfile::registryEntries(nlohmann::json::parse(R"({"registry": [
        {"class": "AppleSmartBattery", "parent": "smc",
         "properties": {"Whole": 5, "Real": 5.0, "Flag": true, "Gone": null, "List": [1, "a", null]}},
        {"id": "smc", "class": "AppleSMC"}]})"));
    const auto& properties = entries[0]->properties;
    EXPECT_FALSE(properties.find("Whole")->numberValue()->isFloatType());
    EXPECT_TRUE(properties.find("Real")->numberValue()->isFloatType());
    EXPECT_TRUE(properties.find("Flag")->isBoolean());
    EXPECT_EQ(properties.find("Gone"), nullptr);
    EXPECT_EQ(*properties.find("List"), CFValue(CFArray{1, "a"}));
    EXPECT_EQ(entries[0]->parent, entries[1]);
}

TEST(HardwareProfile, MalformedProfilesAreRefusedWithAReason) {
    EXPECT_EQ(errorOf(R"({"bluetooth": {}})"), "");  // no registry: no entries
    EXPECT_NE(errorOf(R"({"registry": [{"properties": {}}]})").find("has no \"class\""), std::string::npos);
    EXPECT_NE(errorOf(R"({"registry": [{"class": "A", "properties": [1]}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"class": "A", "parent": "nobody"}]})").find("nobody"), std::string::npos);
    EXPECT_NE(errorOf(R"({"registry": [{"id": "x", "class": "A"}, {"id": "x", "class": "B"}]})"), "");
    EXPECT_NE(errorOf(R"({"registry": [{"id": "a", "class": "A", "parent": "b"},
                                      {"id": "b", "class": "B", "parent": "a"}]})").find("ancestor"), std::string::npos);
    TemporaryDirectory directory;
    EXPECT_THROW(HardwareProfile::read(directory.path() / "missing.json"), HardwareProfileError);
    EXPECT_THROW(HardwareProfile::read(directory.write("broken.json", "{\"registry\": [")), HardwareProfileError);
}

TEST(HardwareProfile, FilesThatWouldExhaustTheReaderAreRefusedByName) {
    TemporaryDirectory directory;
    auto refusal = [](const std::filesystem::path& file) -> std::string {
        try {
            HardwareProfileProvider provider(file);
        } catch (const HardwareProfileError& error) {
            return error.what();
        }
        return "read";
    };
    auto names = [&](const std::filesystem::path& file) {
        EXPECT_NE(refusal(file).find(file.string()), std::string::npos) << refusal(file);
    };
    names(directory.path());            // a folder
    names("/dev/zero");                 // a file without end
    const auto fifo = directory.path() / "profile.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    names(fifo);                        // a FIFO nobody writes to, refused without waiting on it
    std::string deep(20000, '[');       // values nested 20,000 deep
    names(directory.write("deep.json", R"({"registry": [{"class": "A", "properties": {"x": )" + deep +
                                           std::string(20000, ']') + "}}]}"));
    std::string chain = R"({"registry": [)";
    for (int i = 0; i < 20000; ++i) {  // entries whose parents, each later in the file, chain 20,000 deep
        chain += R"({"id": ")" + std::to_string(i) + R"(", "class": "A", "parent": ")" + std::to_string(i + 1) + "\"}, ";
    }
    names(directory.write("chain.json", chain + R"({"id": "20000", "class": "A"}]})"));
}

TEST(HardwareProfile, TheEnvironmentChoosesBetweenTheMachineAndAProfile) {
    ::unsetenv(HardwareProfile::environmentVariable);
    EXPECT_FALSE(HardwareProfile::path());
    EXPECT_TRUE(std::dynamic_pointer_cast<SysfsRegistryProvider>(IORegistry::defaultProvider()));
    ::setenv(HardwareProfile::environmentVariable, "", 1);
    EXPECT_FALSE(HardwareProfile::path());

    ::setenv(HardwareProfile::environmentVariable, (profiles / "demo.json").c_str(), 1);
    IORegistry::setCurrent(nullptr);
    io_service_t service = IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOHIDUserDevice"));
    EXPECT_NE(service, 0u);
    IOObjectRelease(service);
    ::unsetenv(HardwareProfile::environmentVariable);
    IORegistry::setCurrent(nullptr);
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
