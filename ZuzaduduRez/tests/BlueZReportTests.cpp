// The platform's system_profiler reports BlueZ's Bluetooth (here python-dbusmock's, on a private
// system bus) in the form the profiler parses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzaduduRez/ProfilerController.hpp"

using namespace ZuzaduduRez;

namespace {

std::shared_ptr<OutputNode> child(const std::shared_ptr<OutputNode>& node, const std::string& name) {
    for (const auto& c : node->children) {
        if (c->name == name) return c;
    }
    return nullptr;
}

std::vector<std::string> childNames(const std::shared_ptr<OutputNode>& node) {
    std::vector<std::string> names;
    for (const auto& c : node->children) names.push_back(c->name);
    return names;
}

std::string text(const std::shared_ptr<OutputNode>& node, const std::string& key) {
    return node->properties->value<std::string>(key).value_or("<missing>");
}

class BlueZReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        bus = std::make_unique<PrivateSystemBus>();
        if (!bus->unavailable().empty()) GTEST_SKIP() << bus->unavailable();
        mock = std::make_unique<BluezMock>(*bus);
    }

    FolderFirstOnPath path{QUILLON_BIN_DIR};
    std::unique_ptr<PrivateSystemBus> bus;
    std::unique_ptr<BluezMock> mock;
};

}  // namespace

TEST_F(BlueZReportTest, ListsTheControllerAndConnectedAndPairedDevices) {
    mock->addAdapter();
    auto buds = mock->addDevice("hci0", "a4:83:e7:1c:2d:3e", "Zephyr Buds");
    mock->update(buds, "org.bluez.Device1",
                 {{"Modalias", sdbus::Variant(std::string("bluetooth:v004Cp2014d0100"))},
                  {"Icon", sdbus::Variant(std::string("audio-headphones"))}});
    mock->connect(buds);
    mock->addBattery(buds, 80);
    auto pen = mock->addDevice("hci0", "C0:FF:EE:00:00:01", "Pen: Pro");
    mock->connect(pen);
    mock->addBattery(pen, 7);
    auto mouse = mock->addDevice("hci0", "F0:1D:BC:12:34:56", "Glide Mouse");
    mock->update(mouse, "org.bluez.Device1",
                 {{"Paired", sdbus::Variant(true)},
                  {"Modalias", sdbus::Variant(std::string("usb:v046Dp4082d1000"))},
                  {"Icon", sdbus::Variant(std::string("input-mouse"))}});
    mock->addDevice("hci0", "11:22:33:44:55:66", "Passer-by");  // seen, neither paired nor connected

    auto tree = ProfilerController(Services::bluetooth()).run();
    ASSERT_EQ(tree->nodes.size(), 1u);
    auto bluetooth = tree->nodes[0];
    EXPECT_EQ(bluetooth->name, "Bluetooth");
    EXPECT_EQ(childNames(bluetooth), (std::vector<std::string>{"Bluetooth Controller", "Connected", "Not Connected"}));

    auto controller = child(bluetooth, "Bluetooth Controller");
    EXPECT_EQ(text(controller, "Address"), "00:01:02:03:04:05");
    EXPECT_EQ(text(controller, "State"), "On");
    EXPECT_EQ(text(controller, "Vendor ID"), "0x1D6B");

    auto connected = child(bluetooth, "Connected");
    ASSERT_EQ(childNames(connected), (std::vector<std::string>{"Zephyr Buds", "Pen:\u00A0Pro"}));
    auto zephyr = connected->children[0];
    EXPECT_EQ(zephyr->parent, connected);
    EXPECT_EQ(text(zephyr, "Address"), "A4:83:E7:1C:2D:3E");
    EXPECT_EQ(text(zephyr, "Vendor ID"), "0x004C");
    EXPECT_EQ(text(zephyr, "Product ID"), "0x2014");
    EXPECT_EQ(text(zephyr, "Connected"), "Yes");
    EXPECT_EQ(text(zephyr, "Minor Type"), "Headphones");
    EXPECT_EQ(text(zephyr, "Battery Level"), "80%");
    // A device without a modalias has no numbers rather than made-up ones.
    auto penNode = connected->children[1];
    EXPECT_FALSE(penNode->properties->has("Vendor ID"));
    EXPECT_EQ(text(penNode, "Battery Level"), "7%");

    auto notConnected = child(bluetooth, "Not Connected");
    ASSERT_EQ(childNames(notConnected), std::vector<std::string>{"Glide Mouse"});
    auto glide = notConnected->children[0];
    EXPECT_EQ(text(glide, "Product ID"), "0x4082");
    EXPECT_EQ(text(glide, "Minor Type"), "Mouse");
    // Whatever its text, "Connected" marks a device as connected for the report's readers.
    EXPECT_FALSE(glide->properties->has("Connected"));
    EXPECT_FALSE(glide->properties->has("Battery Level"));
}

TEST_F(BlueZReportTest, GivesNoReportWithoutBlueZ) {
    mock->addAdapter();
    EXPECT_EQ(ProfilerController(Services::bluetooth()).run()->nodes.size(), 1u);
    bus->stopMock("org.bluez");
    EXPECT_TRUE(ProfilerController(Services::bluetooth()).run()->nodes.empty());
    EXPECT_TRUE(ProfilerController(std::make_shared<Service>("SPUSBDataType")).run()->nodes.empty());
}
