// The headphone reader over the profiler's Bluetooth report as the platform's stand-in prints it
// from BlueZ (a mock BlueZ on a private system bus).
#include <gtest/gtest.h>

#include "RuduredOro/ShellController.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

TEST(ShellControllerOnBluez, ConnectedHeadphonesGiveOneDeviceAndPairedOnesNone) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    BluezMock mock(bus);
    FolderFirstOnPath path{QUILLON_BIN_DIR};
    mock.addAdapter();
    auto buds = mock.addDevice("hci0", "A4:83:E7:1C:2D:3E", "Zephyr Headphones");
    mock.update(buds, "org.bluez.Device1",
                {{"Modalias", sdbus::Variant(std::string("bluetooth:v004Cp2014d0100"))},
                 {"Icon", sdbus::Variant(std::string("audio-headphones"))}});
    mock.connect(buds);
    mock.addBattery(buds, 80);
    auto mouse = mock.addDevice("hci0", "F0:1D:BC:12:34:56", "Glide Mouse");
    mock.update(mouse, "org.bluez.Device1",
                {{"Paired", sdbus::Variant(true)}, {"Icon", sdbus::Variant(std::string("input-mouse"))}});
    mock.addBattery(mouse, 40);

    ShellController reader;
    reader.refresh();
    ASSERT_EQ(reader.devices().size(), 1u);
    const auto& device = reader.devices().front();
    EXPECT_EQ(device->name(), "Zephyr Headphones");
    EXPECT_EQ(device->batteryLevel(), 80);
    EXPECT_EQ(device->vendorId(), 0x004C);
    EXPECT_EQ(device->productId(), 0x2014);
    EXPECT_EQ(device->type(), DeviceType::headphones);
}
