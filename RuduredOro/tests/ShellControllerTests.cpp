#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Foundation/Locale.hpp"
#include "RuduredOro/DoubleBatteryDevice.hpp"
#include "RuduredOro/ShellController.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzaduduRez/ProfilerOutputParser.hpp"

using namespace RuduredOro;
using ZuzaduduRez::OutputTree;
using ZuzaduduRez::ProfilerOutputParser;

namespace {

/// Puts the stand-in profiler first on PATH, naming its report, for the life of the object.
class StandInProfiler {
public:
    explicit StandInProfiler(const char* report) : path_(std::getenv("PATH")) {
        ::setenv("PATH", (std::string(QUILLON_FIXTURES_DIR) + "/profiler:" + path_).c_str(), 1);
        if (report) ::setenv("QUILLON_PROFILER_REPORT", report, 1);
        else ::unsetenv("QUILLON_PROFILER_REPORT");
    }
    ~StandInProfiler() {
        ::setenv("PATH", path_.c_str(), 1);
        ::unsetenv("QUILLON_PROFILER_REPORT");
    }

private:
    std::string path_;
};

/// A profiler that hands out a tree parsed from a text and keeps it, to look at afterwards.
class FixedProfiler : public ZuzaduduRez::IProfilerController {
public:
    explicit FixedProfiler(std::string report) : report_(std::move(report)) {}
    std::shared_ptr<OutputTree> run() override {
        tree = ProfilerOutputParser().parse(report_);
        return tree;
    }
    std::shared_ptr<OutputTree> tree;

private:
    std::string report_;
};

class ShellControllerTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    }
};

std::optional<int> level(std::optional<std::uint8_t> value) {
    return value ? std::optional<int>(*value) : std::nullopt;
}

}  // namespace

TEST_F(ShellControllerTest, ReadsTheConnectedDevicesOfTheBluetoothReport) {
    StandInProfiler profiler("bluetooth-connected.txt");
    ShellController controller;
    controller.refresh();
    const auto& devices = controller.devices();
    // The earphones give their case and then the pair; the headset one device; the mouse that is
    // not connected (a sibling heading of "Connected", after a fall of two levels) none.
    ASSERT_EQ(devices.size(), 3u);

    auto chargingCase = devices[0];
    EXPECT_EQ(chargingCase->name(), "Charging case");
    EXPECT_EQ(chargingCase->serial(), "case_a4-83-e7-1c-2d-3e");
    EXPECT_EQ(chargingCase->type(), DeviceType::chargingCase);
    EXPECT_EQ(level(chargingCase->batteryLevel()), 100);
    EXPECT_EQ(chargingCase->vendorId(), 0x004C);

    auto pair = std::dynamic_pointer_cast<DoubleBatteryDevice>(devices[1]);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->serial(), "a4-83-e7-1c-2d-3e");
    EXPECT_EQ(pair->type(), DeviceType::headphones);
    EXPECT_EQ(level(pair->firstLevel()), 80);
    EXPECT_EQ(level(pair->secondLevel()), 75);  // "75 %"
    EXPECT_NE(*pair, *chargingCase);

    auto headset = std::dynamic_pointer_cast<SingleBatteryDevice>(devices[2]);
    ASSERT_TRUE(headset);
    EXPECT_EQ(headset->name(), "Talkline Headset");
    EXPECT_EQ(headset->type(), DeviceType::headset);
    EXPECT_EQ(level(headset->batteryLevel()), 60);
    EXPECT_EQ(headset->productId(), 0x4D2C);

    // A new report replaces the devices: here nothing is connected; then the profiler fails.
    for (const char* report : {"bluetooth-empty-connected.txt", static_cast<const char*>(nullptr)}) {
        StandInProfiler other(report);
        controller.refresh();
        EXPECT_TRUE(controller.devices().empty());
    }
}

TEST_F(ShellControllerTest, ConnectionNumbersAndLevels) {
    StandInProfiler profiler("bluetooth-odd-values.txt");
    ShellController controller;
    controller.refresh();
    auto devices = controller.devices();
    ASSERT_EQ(devices.size(), 3u);
    // Without ids the numbers are 0.
    EXPECT_EQ(devices[0]->name(), "Plain Mouse");
    EXPECT_EQ(devices[0]->serial(), "aa-bb-cc-dd-ee-0f");
    EXPECT_EQ(devices[0]->vendorId(), 0);
    EXPECT_EQ(devices[0]->productId(), 0);
    EXPECT_EQ(devices[0]->type(), DeviceType::undefined);
    // A level above 100 is no level, and "0X004C" is no number: the speaker gives no device, and
    // neither does its case.
    // One readable side is enough for a pair.
    auto pair = std::dynamic_pointer_cast<DoubleBatteryDevice>(devices[1]);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->firstLevel(), std::nullopt);
    EXPECT_EQ(level(pair->secondLevel()), 40);
    EXPECT_EQ(pair->productId(), 1);
    EXPECT_EQ(pair->type(), DeviceType::headset);
    // A "Connected" text of its own counts unless it says "No"; a device without one under another
    // heading does not.
    EXPECT_EQ(devices[2]->name(), "Desk Keyboard");
    EXPECT_EQ(devices[2]->type(), DeviceType::keyboard);
}

TEST_F(ShellControllerTest, ParseAppendsWhileRefreshStartsAfreshAndUnlinksTheTree) {
    const std::string report = "Bluetooth:\n  Connected:\n    Mouse:\n      Address: 01:02:03:04:05:06\n      Battery Level: 9%\n";
    auto profiler = std::make_shared<FixedProfiler>(report);
    ShellController controller;
    controller.setController(profiler);
    controller.refresh();
    ASSERT_EQ(controller.devices().size(), 1u);
    EXPECT_TRUE(profiler->tree->nodes.empty());  // cleared after reading

    auto tree = ProfilerOutputParser().parse(report);
    controller.parse(tree->nodes);
    controller.parse(tree->nodes);
    EXPECT_EQ(controller.devices().size(), 3u);
    controller.refresh();
    EXPECT_EQ(controller.devices().size(), 1u);
}
