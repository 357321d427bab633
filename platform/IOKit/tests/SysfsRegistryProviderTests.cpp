#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <map>
#include <thread>
#include <tuple>

#include "IOKit/HIDReportDescriptor.hpp"
#include "Foundation/backends/BluetoothIdentity.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Testing/BluezMock.hpp"
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

/// The peripherals' batteries, as a search for their class reads them.
std::vector<std::shared_ptr<const IORegistryEntry>> peripherals(const std::filesystem::path& root) {
    return SysfsRegistryProvider(root).matchingEntries(SysfsRegistryProvider::hidEventServiceClass);
}

Data bytes(std::initializer_list<int> values) {
    Data data;
    for (int value : values) data.push_back(static_cast<std::uint8_t>(value));
    return data;
}

}  // namespace

TEST(SysfsRegistryProvider, PeripheralsWithWhatTheKernelKnowsOfThem) {
    // The laptop's own battery and mains are left out.
    auto laptop = peripherals(trees / "laptop");
    ASSERT_EQ(laptop.size(), 3u);
    EXPECT_EQ(ofClass(SysfsRegistryProvider(trees / "laptop").entries(), SysfsRegistryProvider::hidEventServiceClass).size(), 3u);
    EXPECT_TRUE(SysfsRegistryProvider(trees / "laptop").matchingEntries("IOAppleBluetoothHIDDriver").empty());
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
    // The receiver's mouse tells only a coarse level ("Normal").
    EXPECT_EQ(number(*laptop[2], "BatteryPercent"), 55);
    EXPECT_EQ(text(*laptop[2], "HIDDefaultBehavior"), "Mouse");

    auto desk = peripherals(trees / "desk");
    ASSERT_EQ(desk.size(), 3u);
    EXPECT_EQ(text(*desk[0], "Transport"), "USB");        // "Charging"
    EXPECT_EQ(text(*desk[1], "Transport"), "Bluetooth");  // "Full" is not charging
    EXPECT_EQ(text(*desk[0], "HIDDefaultBehavior"), "Trackpad");
    EXPECT_EQ(text(*desk[2], "HIDDefaultBehavior"), "undefined");  // a game pad
    EXPECT_EQ(text(*desk[2], "Product"), "Wireless Controller");
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
    // Not a peripheral; a capacity that is no number, one beyond what the kernel tells, a level
    // that says nothing.
    supply("BAT1", "capacity", "50\n");
    supply("broken", "scope", "Device\n");
    supply("broken", "capacity", "n/a\n");
    supply("huge", "scope", "Device\n");
    supply("huge", "capacity", "4611686018427387904\n");
    supply("vague", "scope", "Device\n");
    supply("vague", "capacity_level", "Unknown\n");
    // A capacity that is no regular file (a pipe nobody writes to) is not read, nor waited for.
    supply("pipe", "scope", "Device\n");
    ASSERT_EQ(::mkfifo((root.path() / "class/power_supply/pipe/capacity").c_str(), 0644), 0);

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

TEST(SysfsRegistryProvider, ASupplyThatStaysIsReadAgainOnlyForWhatChanges) {
    namespace fs = std::filesystem;
    TemporaryDirectory root;
    const std::string name = "hid-aa:bb:cc:dd:ee:ff-battery";
    auto mouse = bytes({0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0});
    // A mouse's battery as the kernel lays it out: its folder under its HID device, linked from
    // the class folder, its `device` link leading back.
    auto plug = [&](const std::string& hid, const std::string& model) {
        auto device = fs::path("devices/virtual/misc/uhid") / hid;
        auto supply = device / "power_supply" / name;
        root.write(device / "uevent", "HID_ID=0005:0000046D:0000B023\nHID_NAME=Mouse\nHID_UNIQ=aa:bb:cc:dd:ee:ff\n");
        root.write(device / "report_descriptor", std::string(mouse.begin(), mouse.end()));
        root.write(supply / "scope", "Device\n");
        root.write(supply / "capacity", "64\n");
        root.write(supply / "status", "Discharging\n");
        root.write(supply / "model_name", model + "\n");
        fs::create_directory_symlink(fs::path("../../..") / hid, root.path() / supply / "device");
        fs::create_directories(root.path() / "class/power_supply");
        fs::remove(root.path() / "class/power_supply" / name);
        fs::create_directory_symlink(fs::path("../..") / supply, root.path() / "class/power_supply" / name);
        return device;
    };
    SysfsRegistryProvider provider(root.path());
    auto search = [&] {
        auto entries = provider.matchingEntries(SysfsRegistryProvider::hidEventServiceClass);
        return entries.size() == 1 ? *entries.front() : IORegistryEntry{};
    };

    auto device = plug("0005:046D:B023.0001", "Mouse A");
    EXPECT_EQ(text(search(), "Product"), "Mouse A");

    // What does not change is not read again: the HID device's files may be gone and the name
    // may say something else. The level and the status are read on every search.
    fs::remove(root.path() / device / "uevent");
    fs::remove(root.path() / device / "report_descriptor");
    root.write(device / "power_supply" / name / "model_name", "Renamed\n");
    root.write(device / "power_supply" / name / "capacity", "70\n");
    root.write(device / "power_supply" / name / "status", "Charging\n");
    auto kept = search();
    EXPECT_EQ(text(kept, "Product"), "Mouse A");
    EXPECT_EQ(text(kept, "HIDDefaultBehavior"), "Mouse");
    EXPECT_EQ(number(kept, "VendorID"), 0x046D);
    EXPECT_EQ(number(kept, "BatteryPercent"), 70);
    EXPECT_EQ(text(kept, "Transport"), "USB");
    // A level put in the place of the one held open (another file, as tools write them) is read.
    auto capacity = root.path() / device / "power_supply" / name / "capacity";
    root.write(device / "power_supply" / name / "capacity.new", "75\n");
    fs::rename(capacity.string() + ".new", capacity);
    EXPECT_EQ(number(search(), "BatteryPercent"), 75);
    // Without its level it tells a coarse one; a level that comes back is found again.
    fs::remove(capacity);
    root.write(device / "power_supply" / name / "capacity_level", "High\n");
    EXPECT_EQ(number(search(), "BatteryPercent"), 70);
    root.write(device / "power_supply" / name / "capacity", "80\n");
    EXPECT_EQ(number(search(), "BatteryPercent"), 80);

    // The mouse goes and comes back as a new HID device: its battery is read afresh. (Its old
    // class link is set aside rather than removed, so that no file system hands its inode on.)
    fs::rename(root.path() / "class/power_supply" / name, root.path() / "unplugged");
    fs::remove_all(root.path() / device);
    plug("0005:046D:B023.0002", "Mouse B");
    EXPECT_EQ(text(search(), "Product"), "Mouse B");
    EXPECT_EQ(number(search(), "BatteryPercent"), 64);
}

TEST(SysfsRegistryProvider, SuppliesThatComeAndGoBetweenSearchesKeepTheirOwnValues) {
    TemporaryDirectory root;
    auto plug = [&](const std::string& name, int level) {
        auto folder = std::filesystem::path("class/power_supply") / ("hid-" + name);
        root.write(folder / "scope", "Device\n");
        root.write(folder / "model_name", name + "\n");
        root.write(folder / "capacity", std::to_string(level) + "\n");
    };
    SysfsRegistryProvider provider(root.path());
    using Found = std::vector<std::pair<std::string, std::int64_t>>;
    auto search = [&] {
        Found found;
        for (const auto& entry : provider.matchingEntries(SysfsRegistryProvider::hidEventServiceClass)) {
            found.emplace_back(text(*entry, "Product"), number(*entry, "BatteryPercent"));
        }
        return found;
    };
    for (int i = 0; i < 6; ++i) plug("m" + std::to_string(i), 10 + i);
    EXPECT_EQ(search().size(), 6u);
    // One goes and another comes among the others: each is still told by its own files, in the
    // order of the names, and those that stayed are not read afresh (their names are kept).
    for (int i = 0; i < 6; ++i) {
        root.write("class/power_supply/hid-m" + std::to_string(i) + "/model_name", "renamed\n");
    }
    std::filesystem::remove_all(root.path() / "class/power_supply/hid-m2");
    plug("m25", 77);
    EXPECT_EQ(search(), (Found{{"m0", 10}, {"m1", 11}, {"m25", 77}, {"m3", 13}, {"m4", 14}, {"m5", 15}}));
    plug("m2", 50);
    std::filesystem::remove_all(root.path() / "class/power_supply/hid-m0");
    EXPECT_EQ(search(), (Found{{"m1", 11}, {"m2", 50}, {"m25", 77}, {"m3", 13}, {"m4", 14}, {"m5", 15}}));
}

TEST(SysfsRegistryProvider, ASupplyWhoseHeldLevelFailsIsReadAfresh) {
    // sysfs fails the reads of an open attribute once its supply is gone; so does /proc those of a
    // process's file once the process is gone, which stands in for it here.
    TemporaryDirectory root;
    const std::filesystem::path folder = "class/power_supply/hid-battery";
    root.write(folder / "scope", "Device\n");
    root.write(folder / "model_name", "Mouse A\n");
    pid_t process = ::fork();
    if (process == 0) {
        ::pause();
        ::_exit(0);
    }
    std::filesystem::create_symlink("/proc/" + std::to_string(process) + "/oom_score_adj", root.path() / folder / "capacity");
    SysfsRegistryProvider provider(root.path());
    auto search = [&] { return provider.matchingEntries(SysfsRegistryProvider::hidEventServiceClass); };
    auto first = search();
    ::kill(process, SIGKILL);
    ::waitpid(process, nullptr, 0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(number(*first[0], "BatteryPercent"), 0);

    // Its level fails: it is left out and forgotten, so that once it has a level again, it is read
    // afresh, name and all.
    root.write(folder / "model_name", "Mouse B\n");
    EXPECT_TRUE(search().empty());
    std::filesystem::remove(root.path() / folder / "capacity");
    root.write(folder / "capacity", "50\n");
    auto again = search();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(text(*again[0], "Product"), "Mouse B");
    EXPECT_EQ(number(*again[0], "BatteryPercent"), 50);
}

TEST(SysfsRegistryProvider, HeldFilesLeaveTheProcessHalfItsDescriptorsAndGoWithTheirSupply) {
    auto open = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit lowered = limit;
    lowered.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    TemporaryDirectory root;
    for (int i = 0; i < 40; ++i) {
        auto folder = "class/power_supply/mouse" + std::to_string(i) + "/";
        root.write(folder + "scope", "Device\n");
        root.write(folder + "capacity", "50\n");
        root.write(folder + "status", "Discharging\n");
    }
    auto before = open();
    {
        SysfsRegistryProvider provider(root.path());
        auto search = [&] { return provider.matchingEntries(SysfsRegistryProvider::hidEventServiceClass).size(); };
        EXPECT_EQ(search(), 40u);
        EXPECT_EQ(search(), 40u);
        EXPECT_LE(open() - before, 32 + 1);  // with the watch's own
        std::filesystem::remove_all(root.path() / "class");
        EXPECT_EQ(search(), 0u);
        EXPECT_LE(open() - before, 1);  // the watch alone
        // The class folder made again is listed again.
        root.write("class/power_supply/mouse0/scope", "Device\n");
        root.write("class/power_supply/mouse0/capacity", "40\n");
        EXPECT_EQ(search(), 1u);
    }
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

TEST(SysfsRegistryProvider, BluetoothDevicesAreHIDUserDevicesUnderTheirPeripheralIdentifier) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    BluezMock bluez(bus);
    bluez.addAdapter();
    auto says = [&](const std::string& address, const std::string& property, sdbus::Variant value) {
        auto device = bluez.addDevice("hci0", address, "Device");
        if (!property.empty()) bluez.update(device, "org.bluez.Device1", {{property, value}});
        return device;
    };
    // The mouse's HID device in the tree says what it is, whatever BlueZ says; the others are
    // told by BlueZ alone; a device nothing tells of is left out.
    says("E4:9A:DC:01:02:03", "Appearance", sdbus::Variant(std::uint16_t{0x03C1}));
    auto keys = says("A4:83:E7:00:00:10", "Appearance", sdbus::Variant(std::uint16_t{0x03C1}));
    says("A4:83:E7:00:00:11", "Class", sdbus::Variant(std::uint32_t{0x000508}));
    says("A4:83:E7:00:00:12", "Icon", sdbus::Variant(std::string("input-mouse")));
    says("A4:83:E7:00:00:13", "Icon", sdbus::Variant(std::string("audio-headphones")));
    auto information = bluez.addService(keys, 0x0010, "0000180a-0000-1000-8000-00805f9b34fb");
    bluez.addCharacteristic(information, 0x0011, "00002a29-0000-1000-8000-00805f9b34fb", {'Q', 'u', 'i', 'l', 'l'});

    auto of = [](const char* address) { return bluetoothPeripheralIdentifier(address).uuidString(); };
    using Usage = std::tuple<std::int64_t, std::int64_t, std::string>;
    const std::map<std::string, Usage> expected{
        {of("e4-9a-dc-01-02-03"), Usage(1, 2, "")},
        {of("A4:83:E7:00:00:10"), Usage(1, 6, "Quill")},
        {of("A4:83:E7:00:00:11"), Usage(1, 5, "")},  // a game pad of the peripheral class
        {of("A4:83:E7:00:00:12"), Usage(1, 2, "")}};
    // What BlueZ says reaches the process's copy of its objects over the bus, a moment later.
    std::map<std::string, Usage> found;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (found != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        found.clear();
        for (const auto& entry : SysfsRegistryProvider(trees / "laptop").matchingEntries("IOHIDUserDevice")) {
            found[text(*entry, "PhysicalDeviceUniqueID")] = {number(*entry, "PrimaryUsagePage"),
                                                             number(*entry, "PrimaryUsage"), text(*entry, "Manufacturer")};
        }
    }
    EXPECT_EQ(found, expected);

    // A search for one identifier makes that device's entry alone.
    SysfsRegistryProvider provider(trees / "laptop");
    auto withIdentifier = [&](const std::string& identifier) {
        return provider.entriesWithProperties("IOHIDUserDevice", CFDictionary{{"PhysicalDeviceUniqueID", identifier}});
    };
    for (const auto& [identifier, usage] : expected) {
        auto one = withIdentifier(identifier);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(text(*one.front(), "PhysicalDeviceUniqueID"), identifier);
        EXPECT_EQ(Usage(number(*one.front(), "PrimaryUsagePage"), number(*one.front(), "PrimaryUsage"),
                        text(*one.front(), "Manufacturer")),
                  usage);
    }
    EXPECT_TRUE(withIdentifier(of("A4:83:E7:00:00:13")).empty());
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

    // A long item is stepped over; a vendor collection says nothing; a pointer is a mouse.
    auto mouse = bytes({0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0,
                        0x05, 0x01, 0x09, 0x01, 0xA1, 0x01, 0xC0});
    EXPECT_EQ(HIDReportDescriptor::defaultBehavior(mouse), "Mouse");
    // Anything else (here a pen on the digitizer page) is a device of no known kind.
    EXPECT_EQ(HIDReportDescriptor::defaultBehavior(bytes({0x05, 0x0D, 0x09, 0x02, 0xA1, 0x01, 0xC0})), "undefined");
    EXPECT_FALSE(HIDReportDescriptor::defaultBehavior(bytes({0x05, 0x01, 0x09, 0x02})));

    // Cut short anywhere, it reads no further than the end.
    for (std::size_t length = 0; length < descriptor.size(); ++length) {
        Data cut(descriptor.begin(), descriptor.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_LE(HIDReportDescriptor::applicationUsages(cut).size(), 3u);
    }
    EXPECT_TRUE(HIDReportDescriptor::applicationUsages(bytes({0xFE})).empty());
    EXPECT_TRUE(HIDReportDescriptor::applicationUsages(bytes({0xFE, 0xFF, 0x00})).empty());
}
