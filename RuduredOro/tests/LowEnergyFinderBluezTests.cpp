// The Low Energy finder on the BlueZ stack, against python-dbusmock's BlueZ on a private system bus:
// what a user with real Bluetooth peripherals sees.
#include <gtest/gtest.h>

#include <chrono>

#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Foundation/backends/BluetoothIdentity.hpp"
#include "Foundation/backends/BluezObjects.hpp"
#include "Foundation/Locale.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "RuduredOro/IOKitController.hpp"
#include "RuduredOro/LowEnergyFinder.hpp"
#include "RuduredOro/LowEnergyPersistency.hpp"
#include "RuduredOro/UUID.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;
using Gatt = RuduredOro::UUID;

namespace {
const std::string batteryUUID = "0000180f-0000-1000-8000-00805f9b34fb";
const std::string informationUUID = "0000180a-0000-1000-8000-00805f9b34fb";
const std::string levelUUID = "00002a19-0000-1000-8000-00805f9b34fb";
const std::string modelUUID = "00002a24-0000-1000-8000-00805f9b34fb";
constexpr double patience = 15;  // seconds of real time for answers over the bus

class NoRegistry : public IIOKitController {
public:
    std::optional<std::string> manufacturer(const std::string&) override { return std::nullopt; }
    std::optional<DeviceProperties> deviceProperties(const std::string&) override { return std::nullopt; }
};
}  // namespace

class LowEnergyFinderOnBluez : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
        LowEnergyPersistency::setNoBatteryServiceDevices({});
        bus = std::make_unique<PrivateSystemBus>();
        if (!bus->unavailable().empty()) GTEST_SKIP() << bus->unavailable();
        mock = std::make_unique<BluezMock>(*bus);
    }
    void TearDown() override {
        runUntilIdle();
        finder.reset();
        BluetoothStack::setCurrent(nullptr);
        IORegistry::setCurrent(nullptr);
        mock.reset();
        bus.reset();
        VirtualTimeTest::TearDown();
    }

    void start(std::shared_ptr<IIOKitController> registry = std::make_shared<NoRegistry>()) {
        BluetoothStack::setCurrent(BluezBluetoothStack::make());
        finder = LowEnergyFinder::make();
        finder->setIOKitController(std::move(registry));
        RunLoop::main().runUntil([&] { return finder->manager()->state() != CBManagerState::unknown; }, patience);
    }

    std::string connectedDevice(const std::string& address, const std::string& name, std::vector<std::string> uuids) {
        auto device = mock->addDevice("hci0", address, name);
        mock->update(device, "org.bluez.Device1", {{"UUIDs", sdbus::Variant(uuids)}});
        mock->connect(device);
        return device;
    }

    /// Ticks as the application does once a (virtual) second, refreshing while Bluetooth is on,
    /// until the condition holds or real patience runs out.
    bool refreshUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 30; ++i) {
            if (finder->isPoweredOn()) finder->refresh();
            if (RunLoop::main().runUntil(condition, patience / 30)) return true;
            advance(1.0);
        }
        return condition();
    }

    std::shared_ptr<LowEnergyDevice> device(const std::string& address) {
        auto serial = bluetoothPeripheralIdentifier(address).uuidString();
        for (const auto& d : finder->devices()) {
            if (d->serial() == serial) return d;
        }
        return nullptr;
    }

    std::unique_ptr<PrivateSystemBus> bus;
    std::unique_ptr<BluezMock> mock;
    std::shared_ptr<LowEnergyFinder> finder;
};

TEST_F(LowEnergyFinderOnBluez, ReadsLevelsFromBatteryOneAndFromAGattBatteryService) {
    mock->addAdapter();
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    mock->addBattery(pen, 77);
    auto mouse = connectedDevice("A4:83:E7:00:00:02", "Travel Mouse", {batteryUUID, informationUUID});
    auto battery = mock->addService(mouse, 0x0020, batteryUUID);
    mock->addCharacteristic(battery, 0x0021, levelUUID, {55});
    auto information = mock->addService(mouse, 0x0010, informationUUID);
    mock->addCharacteristic(information, 0x0011, modelUUID, {'M', '7'});
    start();
    ASSERT_TRUE(finder->isPoweredOn());

    ASSERT_TRUE(refreshUntil([&] {
        auto a = device("A4:83:E7:1C:2D:3E"), b = device("A4:83:E7:00:00:02");
        return a && b && a->batteryLevel() && b->batteryLevel() && b->model() == "M7";
    }));
    EXPECT_EQ(device("A4:83:E7:1C:2D:3E")->batteryLevel(), 77);
    EXPECT_EQ(device("A4:83:E7:1C:2D:3E")->name(), "Pen");
    EXPECT_EQ(device("A4:83:E7:00:00:02")->batteryLevel(), 55);
    EXPECT_EQ(mock->calls(pen, "Connect"), 0u);  // the system holds them connected already

    // A later refresh reads the level BlueZ knows by then, from what BlueZ signalled: the level is
    // never asked of it.
    mock->update(pen, "org.bluez.Battery1", {{"Percentage", sdbus::Variant(std::uint8_t{76})}});
    EXPECT_TRUE(refreshUntil([&] { return device("A4:83:E7:1C:2D:3E")->batteryLevel() == 76; }));
    EXPECT_EQ(mock->propertyReads(pen, "org.bluez.Battery1", "Percentage"), 0u);
}

TEST_F(LowEnergyFinderOnBluez, MiceAndKeyboardsAreToldByWhatTheMachineKnowsOfTheirAddress) {
    mock->addAdapter();
    // The mouse's HID device is in the machine's sysfs tree; the keyboard is known to BlueZ alone.
    auto mouse = connectedDevice("E4:9A:DC:01:02:03", "Orbit Mouse", {batteryUUID});
    mock->addBattery(mouse, 64);
    auto keyboard = connectedDevice("A4:83:E7:00:00:10", "Keys", {batteryUUID});
    mock->update(keyboard, "org.bluez.Device1", {{"Appearance", sdbus::Variant(std::uint16_t{0x03C1})}});
    mock->addBattery(keyboard, 80);
    IORegistry::setCurrent(std::make_shared<IORegistry>(
        std::make_shared<SysfsRegistryProvider>(std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs" / "laptop")));
    start(std::make_shared<IOKitController>());

    ASSERT_TRUE(refreshUntil([&] {
        auto m = device("E4:9A:DC:01:02:03"), k = device("A4:83:E7:00:00:10");
        return m && k && m->isConnected() && k->isConnected();
    }));
    EXPECT_TRUE(device("E4:9A:DC:01:02:03")->isMouse());
    EXPECT_FALSE(device("E4:9A:DC:01:02:03")->isKeyboard());
    EXPECT_TRUE(device("A4:83:E7:00:00:10")->isKeyboard());
    EXPECT_FALSE(device("A4:83:E7:00:00:10")->isMouse());
}

TEST_F(LowEnergyFinderOnBluez, APeripheralWithoutBatteryServiceIsRememberedStaysConnectedAndIsTriedOnceItHasOne) {
    mock->addAdapter();
    auto strap = connectedDevice("A4:83:E7:00:00:01", "Strap", {informationUUID});
    auto information = mock->addService(strap, 0x0010, informationUUID);
    mock->addCharacteristic(information, 0x0011, modelUUID, {'S'});
    start();
    auto serial = bluetoothPeripheralIdentifier("A4:83:E7:00:00:01").uuidString();
    auto remembered = [&] {
        auto list = LowEnergyPersistency::noBatteryServiceDevices();
        return std::find(list.begin(), list.end(), serial) != list.end();
    };
    ASSERT_TRUE(refreshUntil(remembered));
    EXPECT_FALSE(device("A4:83:E7:00:00:01"));
    EXPECT_EQ(mock->calls(strap, "Disconnect"), 0u);  // the user's device keeps its link

    // BlueZ's battery plugin may publish the level only after the services are resolved.
    mock->addBattery(strap, 42);
    EXPECT_TRUE(refreshUntil([&] { return device("A4:83:E7:00:00:01") && device("A4:83:E7:00:00:01")->batteryLevel() == 42; }));
}

TEST_F(LowEnergyFinderOnBluez, ACrowdWithoutBatteryServiceHidesNoDeviceWithOne) {
    // On the wall clock, refreshing as the application does: at once, then once a second however
    // much work the main loop still has.
    Clock::setCurrent(nullptr);
    mock->addAdapter();
    mock->addBattery(connectedDevice("A4:83:E7:00:00:02", "Travel Mouse", {batteryUUID}), 64);
    start();
    // Once the mouse is listed, a crowd comes that the finder lets go; the mouse stays listed
    // until the whole crowd is let go, and for longer than a device may go unheard.
    constexpr std::size_t crowd = 3000;
    int ticks = 0, listed = 0;
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) {
        finder->refresh();
        auto mouse = device("A4:83:E7:00:00:02");
        if (mouse && mouse->batteryLevel()) {
            if (listed++ == 0) mock->addPeripherals("hci0", crowd, false);
        } else if (listed > 0) {
            ADD_FAILURE() << "the mouse was hidden after " << listed << " ticks listed";
            listed = -1;
        }
        const bool letGo = LowEnergyPersistency::noBatteryServiceDevices().size() == crowd;
        if (listed < 0 || (listed >= 7 && letGo) || ++ticks == 90) RunLoop::main().stop();
    });
    timer->fire();
    RunLoop::main().run();
    timer->invalidate();
    EXPECT_GE(listed, 7);
    EXPECT_EQ(LowEnergyPersistency::noBatteryServiceDevices().size(), crowd);
}

TEST_F(LowEnergyFinderOnBluez, BluezThatComesLaterOrAgainBringsItsDevicesAndTakesThemAlong) {
    // The application starts before BlueZ does.
    bus->stopMock("org.bluez");
    start();
    EXPECT_FALSE(finder->isPoweredOn());

    std::string adapter;
    auto bluezComes = [&](std::uint8_t level) {
        mock = std::make_unique<BluezMock>(*bus);
        adapter = mock->addAdapter();
        mock->addBattery(connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID}), level);
    };
    auto penAt = [&](int level) {
        return [&, level] { return device("A4:83:E7:1C:2D:3E") && device("A4:83:E7:1C:2D:3E")->batteryLevel() == level; };
    };
    bluezComes(77);
    ASSERT_TRUE(refreshUntil(penAt(77)));

    // BlueZ goes: Bluetooth is off, and the pen goes with it.
    bus->stopMock("org.bluez");
    ASSERT_TRUE(refreshUntil([&] { return !finder->isPoweredOn() && finder->devices().empty(); }));

    // BlueZ comes back with the pen.
    bluezComes(64);
    ASSERT_TRUE(refreshUntil(penAt(64)));

    mock->setPowered(adapter, false);
    EXPECT_TRUE(refreshUntil([&] { return !finder->isPoweredOn(); }));
}

TEST_F(LowEnergyFinderOnBluez, ABluezThatFallsSilentNeverHoldsUpTheMainLoop) {
    mock->addAdapter();
    for (int i = 0; i < 5; ++i) {
        auto pen = connectedDevice("A4:83:E7:00:01:0" + std::to_string(i), "Pen " + std::to_string(i), {batteryUUID});
        mock->addBattery(pen, static_cast<std::uint8_t>(50 + i));
    }
    // The registry asks what BlueZ knows of each peripheral that connects, to tell mice and keyboards.
    IORegistry::setCurrent(std::make_shared<IORegistry>(
        std::make_shared<SysfsRegistryProvider>(std::filesystem::path(QUILLON_FIXTURES_DIR) / "sysfs" / "laptop")));
    start(std::make_shared<IOKitController>());
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return finder->manager()->retrieveConnectedPeripherals({Gatt::batteryService()}).size() == 5; }, patience));

    // The five peripherals are found, connected, told apart and read while BlueZ answers nothing,
    // with the main loop given a turn every 100 ms: no turn is held up.
    mock->fallSilent(60);
    auto last = std::chrono::steady_clock::now();
    std::chrono::duration<double> longest{0};
    auto turned = [&] {
        const auto now = std::chrono::steady_clock::now();
        longest = std::max<std::chrono::duration<double>>(longest, now - last);
        last = now;
        return false;
    };
    for (int i = 0; i < 15; ++i) {
        finder->refresh();
        turned();
        RunLoop::main().runUntil(turned, 0.1);
        advance(0.1);
    }
    EXPECT_LT(longest.count(), 1.5);  // a call waiting for BlueZ takes two seconds or more
    EXPECT_EQ(finder->devices().size(), 5u);
    for (const auto& found : finder->devices()) EXPECT_TRUE(found->batteryLevel());
}
