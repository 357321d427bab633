#include <gtest/gtest.h>

#include "IOKit/HIDReportDescriptor.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const std::filesystem::path trees = std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs";

std::string text(const IORegistryEntry& entry, const char* key) {
    auto value = entry.properties.find(key);
    return value && value->stringValue() ? *value->stringValue() : "<none>";
}

std::int64_t number(const IORegistryEntry& entry, const char* key) {
    auto value = entry.properties.find(key);
    return value && value->intValue() ? *value->intValue() : -1;
}

/// The entries of one class, in registry order.
std::vector<std::shared_ptr<const IORegistryEntry>> ofClass(const std::vector<std::shared_ptr<const IORegistryEntry>>& entries,
                                                            const std::string& className) {
    std::vector<std::shared_ptr<const IORegistryEntry>> found;
    for (const auto& entry : entries) {
        if (entry->className == className) found.push_back(entry);
    }
    return found;
}

std::vector<std::shared_ptr<const IORegistryEntry>> peripherals(const std::filesystem::path& root) {
    return ofClass(SysfsRegistryProvider(root).entries(), SysfsRegistryProvider::hidEventServiceClass);
}

Data bytes(std::initializer_list<int> values) {
    Data data;
    for (int value : values) data.push_back(static_cast<std::uint8_t>(value));
    return data;
}

}  // namespace

TEST(SysfsRegistryProvider, PeripheralsWithWhatTheKernelKnowsOfThem) {
    // The laptop's own battery and mains are left out, and so is the receiver's mouse, which has
    // not reported a capacity yet.
    auto laptop = peripherals(trees / "laptop");
    ASSERT_EQ(laptop.size(), 2u);
    const auto& mouse = *laptop[0];
    EXPECT_EQ(mouse.className, "AppleDeviceManagementHIDEventService");
    EXPECT_EQ(text(mouse, "DeviceAddress"), "e4-9a-dc-01-02-03");
    EXPECT_EQ(number(mouse, "BatteryPercent"), 64);
    EXPECT_EQ(text(mouse, "Transport"), "Bluetooth");
    EXPECT_EQ(number(mouse, "VendorID"), 0x046D);
    EXPECT_EQ(number(mouse, "ProductID"), 0xB025);
    EXPECT_EQ(text(mouse, "HIDDefaultBehavior"), "Mouse");
    EXPECT_EQ(text(*laptop[1], "DeviceAddress"), "a1b2c3d4");
    EXPECT_EQ(text(*laptop[1], "Transport"), "Wireless");  // behind a USB receiver, not charging
    EXPECT_EQ(text(*laptop[1], "Product"), "Slim Keys K9");

    auto desk = peripherals(trees / "desk");
    ASSERT_EQ(desk.size(), 2u);
    EXPECT_EQ(text(*desk[0], "Transport"), "USB");        // "Charging"
    EXPECT_EQ(text(*desk[1], "Transport"), "Bluetooth");  // "Full" is not charging
    EXPECT_EQ(text(*desk[0], "HIDDefaultBehavior"), "Trackpad");
}

TEST(SysfsRegistryProvider, FallsBackToWhatTheKernelStillTells) {
    TemporaryDirectory root;
    auto supply = [&](const std::string& name, const std::string& file, const std::string& contents) {
        root.write("class/power_supply/" + name + "/" + file, contents);
    };
    // No HID device at all: the address comes from the supply's name, the name is missing.
    supply("hid-AA:BB:CC:DD:EE:FF-battery", "scope", "Device\n");
    supply("hid-AA:BB:CC:DD:EE:FF-battery", "capacity", "12\n");
    supply("hid-AA:BB:CC:DD:EE:FF-battery", "status", "Discharging\n");
    // A HID device without unique id and without model name; garbage in its descriptor.
    supply("other", "scope", "Device\n");
    supply("other", "capacity", "40");
    supply("other", "device/uevent", "HID_ID=0003:0000046D:0000C52B\nHID_NAME=Receiver Keyboard\nHID_UNIQ=\n");
    supply("other", "device/report_descriptor", "\x05\x01\x09");
    // Not a peripheral, and a capacity that is no number.
    supply("BAT1", "capacity", "50\n");
    supply("broken", "scope", "Device\n");
    supply("broken", "capacity", "n/a\n");

    auto entries = peripherals(root.path());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(text(*entries[0], "DeviceAddress"), "aa-bb-cc-dd-ee-ff");
    EXPECT_EQ(text(*entries[0], "Product"), "<none>");
    EXPECT_EQ(entries[0]->properties.find("VendorID"), nullptr);
    EXPECT_EQ(text(*entries[0], "Transport"), "Wireless");
    EXPECT_EQ(text(*entries[1], "DeviceAddress"), "other");
    EXPECT_EQ(text(*entries[1], "Product"), "Receiver Keyboard");
    EXPECT_EQ(entries[1]->properties.find("HIDDefaultBehavior"), nullptr);

    EXPECT_TRUE(SysfsRegistryProvider(root.path() / "missing").entries().empty());
}

TEST(SysfsRegistryProvider, TheRunningMachineAnswersWithoutError) {
    // Whatever this machine has: only well-formed peripheral entries, and no exception.
    std::vector<std::shared_ptr<const IORegistryEntry>> entries;
    ASSERT_NO_THROW(entries = ofClass(SysfsRegistryProvider().entries(), SysfsRegistryProvider::hidEventServiceClass));
    ASSERT_NO_THROW(SysfsRegistryProvider().powerSources());
    for (const auto& entry : entries) {
        EXPECT_TRUE(entry->properties.find("BatteryPercent"));
        EXPECT_TRUE(entry->properties.find("DeviceAddress"));
    }
    std::cout << "peripheral batteries on this machine: " << entries.size() << "\n";
}

TEST(HIDReportDescriptor, FindsTopLevelApplicationCollectionsOnly) {
    // Keyboard, then a mouse whose pointer is a nested physical collection, then a touch pad
    // given as a four-byte usage (page in the upper half).
    auto descriptor = bytes({0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0xC0,
                             0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0xC0, 0xC0,
                             0x0B, 0x05, 0x00, 0x0D, 0x00, 0xA1, 0x01, 0xC0});
    EXPECT_EQ(HIDReportDescriptor::applicationUsages(descriptor),
              (std::vector<HIDUsage>{{0x01, 0x06}, {0x01, 0x02}, {0x0D, 0x05}}));
    EXPECT_EQ(HIDReportDescriptor::defaultBehavior(descriptor), "Keyboard");

    // A long item is stepped over; a vendor collection says nothing.
    auto mouse = bytes({0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0,
                        0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0});
    EXPECT_EQ(HIDReportDescriptor::defaultBehavior(mouse), "Mouse");

    // Cut short anywhere, it reads no further than the end.
    for (std::size_t length = 0; length < descriptor.size(); ++length) {
        Data cut(descriptor.begin(), descriptor.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_LE(HIDReportDescriptor::applicationUsages(cut).size(), 3u);
    }
    EXPECT_TRUE(HIDReportDescriptor::applicationUsages(bytes({0xFE})).empty());
    EXPECT_TRUE(HIDReportDescriptor::applicationUsages(bytes({0xFE, 0xFF, 0x00})).empty());
}
