#include <gtest/gtest.h>

#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/UserDefaults.hpp"
#include "RuduredOro/LowEnergyFinder.hpp"
#include "RuduredOro/LowEnergyPersistency.hpp"
#include "RuduredOro/UUID.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

using Gatt = RuduredOro::UUID;

const ::UUID penId = *::UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A001");
const ::UUID strapId = *::UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A002");
const ::UUID phoneId = *::UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A003");
const std::string penText = "6F1A2B3C-0000-4000-8000-00000000A001";

/// A pen with a Battery Service at 77 % and every Device Information text.
SimulatedPeripheral pen(double connectDelay = 0.2) {
    SimulatedPeripheral p;
    p.identifier = penId;
    p.name = "Pen";
    p.connectDelay = connectDelay;
    auto text = dataFromString;
    p.services = {{Gatt::batteryService(), {{Gatt::batteryLevel(), {77}}}},
                  {Gatt::deviceInformation(),
                   {{Gatt::modelNumber(), text("Pen2,1")}, {Gatt::serialNumber(), text("SN-1")},
                    {Gatt::firmwareRevision(), text("1.4")}, {Gatt::hardwareRevision(), text("B")},
                    {Gatt::softwareRevision(), text("2.0")}, {Gatt::manufacturerName(), text("Maker")}}}};
    return p;
}

/// A strap that offers only the Device Information Service.
SimulatedPeripheral strap() {
    SimulatedPeripheral p;
    p.identifier = strapId;
    p.name = "Strap";
    p.services = {{Gatt::deviceInformation(), {{Gatt::modelNumber(), dataFromString("HS-1")}}}};
    return p;
}

class FakeIOKitController : public IIOKitController {
public:
    std::map<std::string, DeviceProperties> answers;
    std::optional<std::string> manufacturer(const std::string&) override { return std::nullopt; }
    std::optional<DeviceProperties> deviceProperties(const std::string& identifier) override {
        auto found = answers.find(identifier);
        return found == answers.end() ? std::nullopt : std::optional(found->second);
    }
};

class Notices : public LowEnergyDelegate {
public:
    int updates = 0;
    std::vector<std::int64_t> states;
    void didUpdateDevices() override { ++updates; }
    void didUpdateState(std::int64_t state) override { states.push_back(state); }
};

class LowEnergyFinderTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
        LowEnergyPersistency::setNoBatteryServiceDevices({});
        LowEnergyPersistency::setMonitoredDevices({});
    }
    void TearDown() override {
        finder.reset();
        VirtualTimeTest::TearDown();
        BluetoothStack::setCurrent(nullptr);
    }

    /// A finder on a simulated host with these peripherals, its state known.
    void start(std::vector<SimulatedPeripheral> peripherals, CBManagerState state = CBManagerState::poweredOn) {
        stack = std::make_shared<SimulatedBluetoothStack>(state, std::move(peripherals));
        BluetoothStack::setCurrent(stack);
        finder = LowEnergyFinder::make();
        finder->setIOKitController(ioKit);
        finder->setDelegate(notices);
        runUntilIdle();
    }

    /// One tick of the application's timer: a refresh when Bluetooth is on, then a second passes.
    void tick() {
        if (finder->isPoweredOn()) finder->refresh();
        runUntilIdle();
        advance(1.0);
        runUntilIdle();
    }

    std::shared_ptr<LowEnergyDevice> only() {
        auto devices = finder->devices();
        EXPECT_EQ(devices.size(), 1u);
        return devices.empty() ? nullptr : devices.front();
    }

    std::shared_ptr<SimulatedBluetoothStack> stack;
    std::shared_ptr<FakeIOKitController> ioKit = std::make_shared<FakeIOKitController>();
    std::shared_ptr<Notices> notices = std::make_shared<Notices>();
    std::shared_ptr<LowEnergyFinder> finder;
};

}  // namespace

TEST_F(LowEnergyFinderTest, FollowsAPeripheralFromFoundToReadAgainEachRefresh) {
    ioKit->answers[penText] = DeviceProperties{2, "Maker"};
    start({pen()});
    EXPECT_TRUE(finder->isPoweredOn());
    EXPECT_EQ(notices->states, std::vector<std::int64_t>{5});

    // Found: a device named after the peripheral, connecting.
    finder->refresh();
    auto device = only();
    EXPECT_EQ(device->name(), "Pen");
    EXPECT_EQ(device->model(), "Pen");
    EXPECT_EQ(device->serial(), penText);
    EXPECT_FALSE(device->isConnected());
    EXPECT_FALSE(device->batteryLevel());
    EXPECT_EQ(finder->connectingPeripherals().size(), 1u);

    // Connected, services and characteristics discovered, every value read.
    advance(0.2);
    runUntilIdle();
    EXPECT_TRUE(device->isConnected());
    EXPECT_TRUE(device->isMouse());
    EXPECT_FALSE(device->isKeyboard());
    EXPECT_TRUE(finder->connectingPeripherals().empty());
    EXPECT_EQ(device->batteryLevel(), 77);
    EXPECT_EQ(device->name(), "Pen2,1");  // a model the catalogue does not know names the device itself
    EXPECT_EQ(device->model(), "Pen2,1");
    EXPECT_FALSE(device->internalName());
    EXPECT_EQ(device->manufacturer(), "Maker");
    EXPECT_EQ(device->serialNumber(), "SN-1");
    EXPECT_EQ(device->firmwareRevision(), "1.4");
    EXPECT_EQ(device->hardwareRevision(), "B");
    EXPECT_EQ(device->softwareRevision(), "2.0");
    EXPECT_EQ(device->category(), "Pointing device");

    // Every refresh reads the level again; the Device Information texts are not read again.
    stack->setValue(penId, Gatt::batteryService(), Gatt::batteryLevel(), {61});
    stack->setValue(penId, Gatt::deviceInformation(), Gatt::modelNumber(), dataFromString("Other"));
    for (int i = 0; i < 8; ++i) tick();
    EXPECT_EQ(only(), device);
    EXPECT_EQ(device->batteryLevel(), 61);
    EXPECT_EQ(device->name(), "Pen2,1");
    EXPECT_EQ(stack->connectRequests(penId), 1);

    // A read that comes back empty leaves the level shown as it was.
    stack->setValue(penId, Gatt::batteryService(), Gatt::batteryLevel(), {});
    tick();
    EXPECT_EQ(only(), device);
    EXPECT_EQ(device->batteryLevel(), 61);
}

TEST_F(LowEnergyFinderTest, NamesDevicesThroughTheCatalogueAndReadsOddValues) {
    SimulatedPeripheral phone;
    phone.identifier = phoneId;  // no name
    phone.services = {{Gatt::batteryService(), {{Gatt::batteryLevel(), {250}}}},
                      {Gatt::deviceInformation(), {{Gatt::modelNumber(), dataFromString("iPhone14,5")}}}};
    auto odd = pen(0);
    odd.services = {{Gatt::batteryService(), {{Gatt::batteryLevel(), {}}}},
                    {Gatt::deviceInformation(),
                     {{Gatt::modelNumber(), {0xC3, 0x28}}, {Gatt::firmwareRevision(), {0xFF}}}}};
    start({phone});
    finder->refresh();
    EXPECT_EQ(only()->name(), "Unknown");
    EXPECT_EQ(only()->model(), "Unknown");
    runUntilIdle();
    auto device = only();
    EXPECT_EQ(device->batteryLevel(), 100);  // 250 is capped
    EXPECT_EQ(device->internalName(), "iPhone14,5");
    EXPECT_EQ(device->name(), "iPhone 13");
    EXPECT_EQ(device->model(), "iPhone 13");
    EXPECT_EQ(device->symbolName()->symbolName(), "iphone");
    EXPECT_EQ(device->category(), "Unknown");  // the marketing name is no model identifier

    stack->addPeripheral(odd);
    finder->refresh();
    runUntilIdle();
    auto unreadable = finder->devices().at(1);
    EXPECT_FALSE(unreadable->batteryLevel());  // an empty value is no level
    EXPECT_EQ(unreadable->name(), "Pen");      // a model number that is no UTF-8 changes nothing
    EXPECT_FALSE(unreadable->firmwareRevision());
}

TEST_F(LowEnergyFinderTest, KeepsADeviceHeardFromFiveSecondsAgoAndDropsOneOlder) {
    start({pen(60)});  // a connection that takes a minute: the device is never heard from
    finder->refresh();
    auto device = only();
    device->setLastUpdate(now() - 5.0);
    notices->updates = 0;
    finder->removeStaleDevices();
    EXPECT_EQ(finder->devices().size(), 1u);
    device->setLastUpdate(now() - 5.1);
    finder->removeStaleDevices();
    EXPECT_TRUE(finder->devices().empty());
    EXPECT_EQ(notices->updates, 2);

    // A peripheral already listed is neither added again nor asked to connect again.
    finder->find();
    finder->find();
    EXPECT_EQ(finder->devices().size(), 1u);
    EXPECT_EQ(stack->connectRequests(penId), 1);
}

TEST_F(LowEnergyFinderTest, AConnectionThatCompletesAfterItsDeviceWentStaleCanBeMadeAgain) {
    start({pen(6.5)});
    tick();  // t = 0: found, connecting
    for (int i = 0; i < 6; ++i) tick();  // t = 6: dropped as stale; at 6.5 the connection completes
    EXPECT_TRUE(finder->devices().empty());
    EXPECT_TRUE(finder->connectingPeripherals().empty());
    EXPECT_EQ(stack->cancelRequests(penId), 1);  // nobody wanted that connection

    stack->addPeripheral(pen(0.2));  // it answers quickly from now on
    tick();                           // t = 7: found and connected afresh
    EXPECT_EQ(stack->connectRequests(penId), 2);
    EXPECT_EQ(only()->batteryLevel(), 77);
}

TEST_F(LowEnergyFinderTest, APeripheralWithoutBatteryServiceIsRememberedLetGoAndTriedOnceTheHostConnectsItAgain) {
    start({strap()});
    finder->refresh();
    runUntilIdle();
    EXPECT_TRUE(finder->devices().empty());
    EXPECT_EQ(stack->cancelRequests(strapId), 1);
    auto stored = [] { return UserDefaults::standard().stringArrayForKey("NoBatteryServiceDevices"); };
    EXPECT_EQ(stored(), std::vector<std::string>{"6F1A2B3C-0000-4000-8000-00000000A002"});

    // While the host holds it connected, refreshes leave it alone.
    tick();
    tick();
    EXPECT_EQ(stack->connectRequests(strapId), 1);
    EXPECT_TRUE(finder->devices().empty());

    // Connected again, it is tried again, and stored once all the same.
    stack->setConnected(strapId, false);
    tick();
    stack->setConnected(strapId, true);
    tick();
    EXPECT_EQ(stack->connectRequests(strapId), 2);
    EXPECT_EQ(stored()->size(), 1u);
}

TEST_F(LowEnergyFinderTest, AFailedConnectionIsRememberedAndTriedAgainOnceTheDeviceIsMadeAnew) {
    auto tag = pen(1.0);
    tag.failsToConnect = true;
    start({tag});
    tick();
    EXPECT_TRUE(finder->failedDevices().contains(penText));
    EXPECT_TRUE(finder->connectingPeripherals().empty());
    auto device = only();  // kept until stale
    finder->connect(device);
    EXPECT_EQ(stack->connectRequests(penId), 1);

    for (int i = 0; i < 7; ++i) tick();  // dropped as stale at t = 6, made anew at t = 7
    EXPECT_EQ(stack->connectRequests(penId), 2);
    EXPECT_NE(only(), device);
}

TEST_F(LowEnergyFinderTest, TellsTheDelegateOfValuesAtMostOnceASecond) {
    start({pen(0)});
    advance(2.0);
    notices->updates = 0;
    finder->find();
    runUntilIdle();
    // The connection, and one notice for the seven values that followed it.
    EXPECT_EQ(notices->updates, 2);
    const double noticed = finder->lastUpdate();
    EXPECT_EQ(noticed, now());

    auto peripheral = only()->peripheral();
    auto level = peripheral->services()->at(0)->characteristics()->at(0);
    advance(0.5);
    finder->peripheralDidUpdateValueFor(peripheral, level, std::nullopt);
    EXPECT_EQ(notices->updates, 2);
    EXPECT_EQ(finder->lastUpdate(), noticed);
    advance(0.7);
    finder->peripheralDidUpdateValueFor(peripheral, level, std::nullopt);
    EXPECT_EQ(notices->updates, 3);
    EXPECT_EQ(finder->lastUpdate(), now());
}

TEST_F(LowEnergyFinderTest, PoweredOffFindsNothingAndForgetsConnectionsBeingMade) {
    stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn, std::vector{pen(2.0)});
    BluetoothStack::setCurrent(stack);
    finder = LowEnergyFinder::make();
    finder->setIOKitController(ioKit);
    finder->find();  // the manager's state is not known yet: nothing is added
    EXPECT_TRUE(finder->devices().empty());
    runUntilIdle();

    finder->refresh();
    stack->setState(CBManagerState::poweredOff);
    runUntilIdle();
    EXPECT_FALSE(finder->isPoweredOn());
    EXPECT_TRUE(finder->connectingPeripherals().empty());
    EXPECT_EQ(finder->devices().size(), 1u);  // kept, since nothing refreshes

    stack->setState(CBManagerState::poweredOn);
    runUntilIdle();
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(only()->batteryLevel(), 77);
}

TEST_F(LowEnergyFinderTest, DisconnectionsDropDevicesAndAlwaysTellTheDelegate) {
    auto second = strap();
    second.services.push_back({Gatt::batteryService(), {{Gatt::batteryLevel(), {5}}}});
    start({pen(0), second});
    finder->refresh();
    runUntilIdle();
    ASSERT_EQ(finder->devices().size(), 2u);

    // The link to the pen is lost.
    notices->updates = 0;
    stack->setConnected(penId, false);
    runUntilIdle();
    EXPECT_EQ(finder->devices().size(), 1u);
    EXPECT_EQ(notices->updates, 1);
    // A disconnection of a peripheral without a device is told all the same.
    auto unknown = std::make_shared<CBPeripheral>(stack, phoneId, std::nullopt);
    finder->centralManagerDidDisconnectPeripheral(*finder->manager(), unknown, std::nullopt);
    EXPECT_EQ(notices->updates, 2);

    finder->disconnectAll();
    EXPECT_TRUE(finder->devices().empty());
    EXPECT_EQ(stack->cancelRequests(strapId), 1);
}

TEST_F(LowEnergyFinderTest, AdvertisementsAddNamedConnectableDevices) {
    start({});
    auto advertise = [&](const ::UUID& id, std::optional<std::string> name, CBAdvertisementData data) {
        stack->advertise({id, std::move(name)}, data, -50);
        runUntilIdle();
    };
    const Data logitech{0x6D, 0x04, 0x01};
    advertise(penId, std::nullopt, {{CBAdvertisementDataIsConnectable, 0}, {CBAdvertisementDataManufacturerDataKey, logitech}});
    advertise(penId, std::nullopt, {{CBAdvertisementDataIsConnectable, 1}});  // neither name nor maker
    EXPECT_TRUE(finder->devices().empty());

    advertise(penId, std::nullopt, {{CBAdvertisementDataIsConnectable, 1}, {CBAdvertisementDataManufacturerDataKey, logitech}});
    auto device = only();
    EXPECT_EQ(device->manufacturer(), "Logitech Inc.");
    EXPECT_TRUE(device->isDiscovered());
    EXPECT_EQ(stack->connectRequests(penId), 0);

    LowEnergyPersistency::addNoBatteryServiceDevice("6F1A2B3C-0000-4000-8000-00000000A002");
    advertise(strapId, "Strap", {{CBAdvertisementDataIsConnectable, 1}});
    LowEnergyPersistency::addMonitoredDevice("6F1A2B3C-0000-4000-8000-00000000A003");
    advertise(phoneId, "Phone", {{CBAdvertisementDataIsConnectable, 1}});
    ASSERT_EQ(finder->devices().size(), 2u);
    EXPECT_EQ(finder->devices().at(1)->name(), "Phone");
    EXPECT_EQ(stack->connectRequests(phoneId), 1);  // monitored
}
