#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "Foundation/Locale.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/System.hpp"

using namespace ZuzeDiv;

namespace {
const char* const attributesPath =
    "System/Library/PrivateFrameworks/ServerInformation.framework/Versions/A/Resources/en.lproj/SIMachineAttributes.plist";
}

class SystemTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        SystemRoot::setPath(QUILLON_FIXTURES_DIR "/systemroot");
        SystemControl::setStringValue("hw.model", "Mac14,2");
        Locale::setCurrent("en_US");
    }
    void TearDown() override {
        SystemRoot::setPath(std::nullopt);
        SystemControl::reset();
        ProcessInfo::processInfo().setOperatingSystemVersionString(std::nullopt);
        ProcessInfo::processInfo().setThermalState(std::nullopt);
        VirtualTimeTest::TearDown();
    }
};

TEST_F(SystemTest, KernelVariablesAndArchitecture) {
    EXPECT_EQ(System::hardwareModel(), "Mac14,2");
    SystemControl::setStringValue("machdep.cpu.brand_string", "Apple M2");
    EXPECT_EQ(System::cpuBrand(), "Apple M2");
    SystemControl::setStringValue("hw.model", std::nullopt);  // a variable the host does not have
    EXPECT_EQ(System::hardwareModel(), "");

    EXPECT_EQ(SystemControl::hostArchitecture("aarch64"), "arm64");
    EXPECT_EQ(SystemControl::hostArchitecture("x86_64"), "x86_64");
    SystemControl::setMachine("arm64");
    EXPECT_TRUE(System::isAppleSilicon());
    SystemControl::setMachine("x86_64");
    EXPECT_FALSE(System::isAppleSilicon());
    EXPECT_EQ(System::machine(), "x86_64");
    SystemControl::setMachine(std::nullopt);
    EXPECT_NE(System::machine(), "aarch64");  // the real machine, named as the host names it
}

TEST_F(SystemTest, HostRecordFromTheMachine) {
    auto info = System::hostBasicInfo();
    EXPECT_GT(info.avail_cpus, 0);
    EXPECT_EQ(info.avail_cpus, System::processorCount());
    EXPECT_EQ(info.max_mem, System::physicalMemory());
    EXPECT_LE(info.memory_size, 0x80000000u);
    EXPECT_GE(info.logical_cpu, info.physical_cpu);
}

TEST_F(SystemTest, VersionAndUptimeTexts) {
    ProcessInfo::processInfo().setOperatingSystemVersionString("Version 12.6 (Build 21G115)");
    EXPECT_EQ(System::operatingSystemVersion(), "Version 12.6 (Build 21G115)");
    EXPECT_EQ(System::versionText(), " 12.6 (Build 21G115)");
    EXPECT_EQ(System::macOSVersionText(), "macOS 12.6 (Build 21G115)");
    ProcessInfo::processInfo().setOperatingSystemVersionString("VersionVersion version");
    EXPECT_EQ(System::macOSVersionText(), "macOSmacOS version");
    ProcessInfo::processInfo().setThermalState(ProcessInfo::ThermalState::serious);
    EXPECT_EQ(System::thermalState(), 2);
    EXPECT_EQ(System::uptime().size(), 11u);  // "dd:hh:mm:ss" at any uptime below 100 days
}

TEST_F(SystemTest, HardwareDetailsFromTheAttributeList) {
    auto details = AppleHardwareDetails::current();
    ASSERT_TRUE(details);
    EXPECT_EQ(details->marketingModel, "MacBook Air (M2, 2022)");
    EXPECT_EQ(details->processor, "Apple M2");
    EXPECT_FALSE(details->description);  // a key the entry does not have

    SystemControl::setStringValue("hw.model", "Mac99,9");
    EXPECT_FALSE(AppleHardwareDetails::current());  // not an empty record
    SystemControl::setStringValue("hw.model", "MacMixed1,1");
    EXPECT_FALSE(AppleHardwareDetails::current());  // a value that is not a text spoils the record
    SystemControl::setStringValue("hw.model", "MacFlat1,1");
    EXPECT_FALSE(AppleHardwareDetails::current());  // an entry that is no dictionary
    SystemControl::setStringValue("hw.model", "Mac14,2");
    Locale::setCurrent("de_DE");
    EXPECT_FALSE(AppleHardwareDetails::current());  // no German list, and no other language tried
}

TEST_F(SystemTest, BrokenAttributeListGivesNothing) {
    TemporaryDirectory root;
    root.write(attributesPath, "this is not a property list");
    SystemRoot::setPath(root.path());
    EXPECT_FALSE(AppleHardwareDetails::current());
}

// A host without the list of machine attributes: the firmware's fields and the processor's name.
TEST_F(SystemTest, HardwareDetailsFromTheFirmware) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    SystemControl::reset();
    EXPECT_FALSE(AppleHardwareDetails::current());  // nothing readable

    root.write("sys/class/dmi/id/sys_vendor", "LENOVO\n");
    root.write("sys/class/dmi/id/product_name", "20XW0055GE\n");
    root.write("sys/class/dmi/id/product_version", "ThinkPad X1 Carbon Gen 9\n");
    root.write("sys/class/dmi/id/product_family", "ThinkPad X1 Carbon Gen 9\n");
    root.write("proc/cpuinfo", "processor\t: 0\nmodel name\t: 11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz\n\n");
    EXPECT_EQ(AppleHardwareDetails::current(),
              (AppleHardwareDetails{"11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz",
                                    "LENOVO 20XW0055GE ThinkPad X1 Carbon Gen 9", "LENOVO ThinkPad X1 Carbon Gen 9",
                                    "ThinkPad X1 Carbon Gen 9"}));

    // A maker's placeholders count as unread; a name that begins with the maker does not repeat it.
    root.write("sys/class/dmi/id/sys_vendor", "HP\n");
    root.write("sys/class/dmi/id/product_name", "HP EliteBook 840 G8 Notebook PC\n");
    root.write("sys/class/dmi/id/product_version", "To Be Filled By O.E.M.\n");
    std::filesystem::remove(root.path() / "sys/class/dmi/id/product_family");
    std::filesystem::remove(root.path() / "proc/cpuinfo");
    EXPECT_EQ(AppleHardwareDetails::current(),
              (AppleHardwareDetails{std::nullopt, "HP EliteBook 840 G8 Notebook PC", "HP EliteBook 840 G8 Notebook PC",
                                    "HP EliteBook 840 G8 Notebook PC"}));
}

TEST(AppleHardwareDetailsCoding, WritesAndReadsOnlyPresentFields) {
    auto decoded = nlohmann::json::parse(R"({"model":"Mac14,2"})").get<AppleHardwareDetails>();
    EXPECT_EQ(decoded.model, "Mac14,2");
    EXPECT_FALSE(decoded.processor);
    EXPECT_FALSE(decoded.description);
    EXPECT_FALSE(decoded.marketingModel);
    EXPECT_EQ(nlohmann::json(decoded).dump(), R"({"model":"Mac14,2"})");
    AppleHardwareDetails full{"P", "D", "M", "X"};
    EXPECT_EQ(nlohmann::json(full).get<AppleHardwareDetails>(), full);
}
