// The BlueZ stack against python-dbusmock's BlueZ on a private system bus.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Foundation/backends/BluetoothIdentity.hpp"
#include "CoreBluetooth/CBCentralManager.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const CBUUID battery("180F"), information("180A"), level("2A19"), model("2A24");
const std::string batteryUUID = "0000180f-0000-1000-8000-00805f9b34fb";
const std::string informationUUID = "0000180a-0000-1000-8000-00805f9b34fb";
const std::string levelUUID = "00002a19-0000-1000-8000-00805f9b34fb";
const std::string modelUUID = "00002a24-0000-1000-8000-00805f9b34fb";
constexpr double patience = 15;  // seconds of real time for an answer over the bus

// Writes down the callbacks of the manager and its peripherals, and the values read.
class Recorder : public CBCentralManagerDelegate, public CBPeripheralDelegate {
public:
    std::vector<std::string> events;
    std::vector<std::optional<CBError>> errors;
    bool offMainThread = false;

    void note(const std::string& event, const std::optional<CBError>& error = std::nullopt) {
        offMainThread = offMainThread || !Thread::isMainThread();
        events.push_back(event + (error ? " error" : ""));
        errors.push_back(error);
    }
    bool saw(const std::string& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }

    void centralManagerDidUpdateState(CBCentralManager& central) override {
        note("state " + std::to_string(rawValue(central.state())));
    }
    void centralManagerDidConnect(CBCentralManager&, const std::shared_ptr<CBPeripheral>&) override { note("connected"); }
    void centralManagerDidFailToConnect(CBCentralManager&, const std::shared_ptr<CBPeripheral>&,
                                        const std::optional<CBError>& error) override {
        note("failed", error);
    }
    void centralManagerDidDisconnectPeripheral(CBCentralManager&, const std::shared_ptr<CBPeripheral>&,
                                               const std::optional<CBError>& error) override {
        note("disconnected", error);
    }
    void peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>&, const std::optional<CBError>& error) override {
        note("services", error);
    }
    void peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBService>& s,
                                                 const std::optional<CBError>& error) override {
        note("characteristics " + s->uuid().uuidString(), error);
    }
    void peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBCharacteristic>& c,
                                     const std::optional<CBError>& error) override {
        note("value " + c->uuid().uuidString(), error);
    }
};

class BluezStackTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        bus = std::make_unique<PrivateSystemBus>();
        if (!bus->unavailable().empty()) GTEST_SKIP() << bus->unavailable();
        mock = std::make_unique<BluezMock>(*bus);
        recorder = std::make_shared<Recorder>();
    }
    void TearDown() override {
        runUntilIdle();  // answers still queued let go of the peripherals
        manager.reset();
        stack.reset();
        mock.reset();
        bus.reset();
        VirtualTimeTest::TearDown();
    }

    /// Runs the main loop until `condition` holds (true: an answer came over the bus), or for
    /// `patience` at most.
    [[nodiscard]] bool waitFor(const std::function<bool()>& condition) { return RunLoop::main().runUntil(condition, patience); }
    void settle() { runUntilIdle(); }

    /// A manager on a new BlueZ stack, once its state is known.
    void start() {
        stack = BluezBluetoothStack::make();
        ASSERT_TRUE(stack);
        manager = CBCentralManager::make(stack);
        manager->setDelegate(recorder);
        ASSERT_TRUE(waitFor([&] { return manager->state() != CBManagerState::unknown; }));
    }

    /// A device the system holds connected, offering the services.
    std::string connectedDevice(const std::string& address, const std::string& name, std::vector<std::string> uuids) {
        auto device = mock->addDevice("hci0", address, name);
        mock->update(device, "org.bluez.Device1", {{"UUIDs", sdbus::Variant(uuids)}});
        mock->connect(device);
        return device;
    }

    /// What the Low Energy finder does with each connected peripheral that offers a Battery
    /// Service or Device Information: connect, discover both services; with a Battery Service
    /// discover and read every characteristic of every service, without one cancel the
    /// connection. Answers the Battery Level read, if any.
    std::optional<std::uint8_t> readLikeTheFinder(const std::shared_ptr<CBPeripheral>& p) {
        p->setDelegate(recorder);
        manager->connect(p);
        bool ok = RunLoop::main().runUntil([&] { return p->state() == CBPeripheralState::connected; }, patience);
        EXPECT_TRUE(ok) << "not connected";
        if (!ok) return std::nullopt;
        auto seen = recorder->events.size();
        p->discoverServices(std::vector<CBUUID>{battery, information});
        ok = RunLoop::main().runUntil([&] { return recorder->events.size() > seen; }, patience);
        EXPECT_TRUE(ok && p->services()) << "no services";
        if (!ok || !p->services()) return std::nullopt;
        const auto& services = *p->services();
        if (std::none_of(services.begin(), services.end(), [](const auto& s) { return s->uuid() == battery; })) {
            manager->cancelPeripheralConnection(p);
            return std::nullopt;
        }
        seen = recorder->events.size();
        for (const auto& service : services) p->discoverCharacteristics(std::nullopt, service);
        EXPECT_TRUE(RunLoop::main().runUntil([&] { return recorder->events.size() >= seen + services.size(); }, patience));
        std::size_t reads = 0;
        seen = recorder->events.size();
        for (const auto& service : services) {
            for (const auto& characteristic : service->characteristics().value_or(std::vector<std::shared_ptr<CBCharacteristic>>{})) {
                p->readValue(characteristic);
                ++reads;
            }
        }
        EXPECT_TRUE(RunLoop::main().runUntil([&] { return recorder->events.size() >= seen + reads; }, patience));
        for (const auto& service : services) {
            if (service->uuid() != battery) continue;
            for (const auto& characteristic : service->characteristics().value_or(std::vector<std::shared_ptr<CBCharacteristic>>{})) {
                if (characteristic->uuid() == level && characteristic->value() && !characteristic->value()->empty())
                    return characteristic->value()->at(0);
            }
        }
        return std::nullopt;
    }

    std::unique_ptr<PrivateSystemBus> bus;
    std::unique_ptr<BluezMock> mock;
    std::shared_ptr<Recorder> recorder;
    std::shared_ptr<BluezBluetoothStack> stack;
    std::shared_ptr<CBCentralManager> manager;
};

}  // namespace

TEST(BluezIdentifierTest, IsStablePerAddressWhateverItsCase) {
    auto pen = bluetoothPeripheralIdentifier("A4:83:E7:1C:2D:3E");
    // Identifiers are stored in the user's settings: they must never change between versions.
    EXPECT_EQ(pen.uuidString(), "9A066076-E35B-51B8-80BF-8E445845B9DF");
    EXPECT_EQ(bluetoothPeripheralIdentifier("a4:83:e7:1c:2d:3e"), pen);
    EXPECT_EQ(bluetoothPeripheralIdentifier("a4-83-e7-1c-2d-3e"), pen);  // as the HID registry writes it
    EXPECT_NE(bluetoothPeripheralIdentifier("A4:83:E7:1C:2D:3F"), pen);
}

TEST_F(BluezStackTest, ReadsTheBatteryLevelThatBluezPublishesAsBattery1) {
    mock->addAdapter();
    auto pen = connectedDevice("a4:83:e7:1c:2d:3e", "Quill Pen", {batteryUUID, informationUUID});
    mock->addBattery(pen, 77);
    connectedDevice("00:1B:66:AB:CD:EF", "Headset", {"0000110b-0000-1000-8000-00805f9b34fb"});  // no LE service
    mock->addDevice("hci0", "F0:1D:BC:12:34:56", "Away");  // not connected
    start();
    ASSERT_EQ(manager->state(), CBManagerState::poweredOn);

    auto found = manager->retrieveConnectedPeripherals({battery, information});
    ASSERT_EQ(found.size(), 1u);
    auto p = found[0];
    EXPECT_EQ(p->identifier().uuidString(), "9A066076-E35B-51B8-80BF-8E445845B9DF");
    EXPECT_EQ(p->name(), "Quill Pen");

    EXPECT_EQ(readLikeTheFinder(p), 77);
    EXPECT_EQ(mock->calls(pen, "Connect"), 0u);  // the system holds it connected already
    ASSERT_EQ(p->services()->size(), 1u);
    EXPECT_EQ(p->services()->at(0)->characteristics()->size(), 1u);

    // Reads give the level BlueZ has signalled by then.
    mock->update(pen, "org.bluez.Battery1", {{"Percentage", sdbus::Variant(std::uint8_t{76})}});
    auto characteristic = p->services()->at(0)->characteristics()->at(0);
    auto seen = recorder->events.size();
    p->readValue(characteristic);
    EXPECT_TRUE(waitFor([&] {
        if (recorder->events.size() == seen) return false;  // the last read is still on its way
        if (characteristic->value() == Data{76}) return true;
        seen = recorder->events.size();
        p->readValue(characteristic);
        return false;
    }));
    EXPECT_FALSE(recorder->offMainThread);
}

TEST_F(BluezStackTest, ReadsAGattBatteryServiceAndCancelsWithoutDisconnecting) {
    mock->addAdapter();
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID, informationUUID});
    auto info = mock->addService(pen, 0x0010, informationUUID);
    auto model = mock->addCharacteristic(info, 0x0011, modelUUID, {'P', 'e', 'n', '2'});
    auto service = mock->addService(pen, 0x0020, batteryUUID);
    mock->addCharacteristic(service, 0x0021, levelUUID, {55});
    // A GATT Battery Service comes first: a Battery1 beside it is not offered twice.
    mock->addBattery(pen, 99);
    auto strap = connectedDevice("A4:83:E7:00:00:01", "Strap", {informationUUID});
    auto strapInfo = mock->addService(strap, 0x0010, informationUUID);
    mock->addCharacteristic(strapInfo, 0x0011, modelUUID, {'S'});
    start();

    auto found = manager->retrieveConnectedPeripherals({battery, information});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(manager->retrieveConnectedPeripherals({battery}).size(), 1u);

    auto named = [&](const std::string& name) {
        return *std::find_if(found.begin(), found.end(), [&](const auto& peripheral) { return peripheral->name() == name; });
    };
    auto p = named("Pen");
    EXPECT_EQ(readLikeTheFinder(p), 55);
    ASSERT_EQ(p->services()->size(), 2u);
    EXPECT_EQ(p->services()->at(0)->uuid(), information);  // in BlueZ's order
    EXPECT_EQ(p->services()->at(0)->handle(), info);
    auto modelCharacteristic = p->services()->at(0)->characteristics()->at(0);
    EXPECT_EQ(modelCharacteristic->handle(), model);
    EXPECT_EQ(stringFromData(*modelCharacteristic->value()), "Pen2");

    // A peripheral without a Battery Service is cancelled; the system keeps its link.
    auto s = named("Strap");
    EXPECT_FALSE(readLikeTheFinder(s));
    settle();
    EXPECT_EQ(s->state(), CBPeripheralState::disconnected);
    manager->cancelPeripheralConnection(p);
    ASSERT_TRUE(waitFor([&] { return recorder->saw("disconnected"); }));
    settle();
    for (const auto& device : {pen, strap}) {
        EXPECT_EQ(mock->calls(device, "Connect"), 0u);
        EXPECT_EQ(mock->calls(device, "Disconnect"), 0u);
    }
    EXPECT_EQ(manager->retrieveConnectedPeripherals({battery, information}).size(), 2u);
}

TEST_F(BluezStackTest, ReadErrorsAndStaleHandlesAreReportedNotFatal) {
    mock->addAdapter();
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    auto service = mock->addService(pen, 0x0020, batteryUUID);
    mock->addCharacteristic(service, 0x0021, levelUUID, {}, "org.bluez.Error.Failed");
    start();
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    EXPECT_FALSE(readLikeTheFinder(p));
    EXPECT_TRUE(recorder->saw("value 2A19 error"));
    ASSERT_TRUE(recorder->errors.back());
    EXPECT_NE(recorder->errors.back()->message.find("org.bluez.Error.Failed"), std::string::npos);

    // Handles of another peripheral, or that are no handles at all, are refused by the stack.
    std::optional<CBError> error;
    stack->discoverCharacteristics(p->identifier(), "/org/bluez/hci0/dev_00_00_00_00_00_00/service0001", std::nullopt,
                                   [&](BluetoothResult<std::vector<BluetoothAttributeInfo>> result) {
                                       if (auto* e = std::get_if<CBError>(&result)) error = *e;
                                   });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, CBError::Code::invalidHandle);
    error.reset();
    stack->readValue(p->identifier(), pen + "#Battery1/Level", [&](BluetoothResult<Data> result) {
        if (auto* e = std::get_if<CBError>(&result)) error = *e;
    });
    ASSERT_TRUE(error);  // no Battery1 on this pen
    EXPECT_EQ(error->code, CBError::Code::invalidHandle);
}

TEST_F(BluezStackTest, ReportsLostLinksAndDisconnectsOnlyLinksItMadeItself) {
    mock->addAdapter();
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    start();
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    manager->connect(p);
    ASSERT_TRUE(waitFor([&] { return recorder->saw("connected"); }));

    mock->disconnect(pen);
    ASSERT_TRUE(waitFor([&] { return recorder->saw("disconnected error"); }));
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({battery}).empty());

    // Now the system does not hold it: connecting asks BlueZ to, once.
    manager->connect(p);
    ASSERT_TRUE(waitFor([&] { return std::count(recorder->events.begin(), recorder->events.end(), "connected") == 2; }));
    EXPECT_EQ(mock->calls(pen, "Connect"), 1u);
    EXPECT_EQ(p->state(), CBPeripheralState::connected);

    // That link is the program's own: cancelling it lets it go.
    manager->cancelPeripheralConnection(p);
    ASSERT_TRUE(waitFor([&] { return mock->calls(pen, "Disconnect") == 1u; }));
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
}

TEST_F(BluezStackTest, FollowsTheAdaptersPower) {
    start();
    EXPECT_EQ(manager->state(), CBManagerState::unsupported);  // BlueZ, but no adapter

    auto adapter = mock->addAdapter();
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOn; }));
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    ASSERT_TRUE(waitFor([&] { return !manager->retrieveConnectedPeripherals({battery}).empty(); }));
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    manager->connect(p);
    ASSERT_TRUE(waitFor([&] { return recorder->saw("connected"); }));

    // Powered off, every peripheral is disconnected without a callback of its own, and none is
    // listed any more.
    mock->setPowered(adapter, false);
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOff; }));
    settle();
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_FALSE(recorder->saw("disconnected") || recorder->saw("disconnected error"));
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({battery}).empty());
    manager->connect(p);  // ignored while off
    settle();
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_EQ(mock->calls(pen, "Connect"), 0u);
    EXPECT_EQ(mock->calls(pen, "Disconnect"), 0u);

    mock->setPowered(adapter, true);
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOn; }));
    EXPECT_EQ(manager->retrieveConnectedPeripherals({battery}).at(0), p);
}

TEST_F(BluezStackTest, BluezLeavingTheBusTurnsBluetoothOff) {
    mock->addAdapter();
    auto pen = connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    mock->addBattery(pen, 60);
    start();
    ASSERT_EQ(manager->state(), CBManagerState::poweredOn);
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    EXPECT_EQ(readLikeTheFinder(p), 60);

    // Its peripherals' links are seen to go before Bluetooth is seen off.
    bus->stopMock("org.bluez");
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOff; }));
    EXPECT_TRUE(recorder->saw("disconnected error"));
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({battery}).empty());
    // Asking anyway is answered, with an error.
    std::optional<CBError> error;
    bool answered = false;
    stack->readValue(p->identifier(), pen + "#Battery1/Level", [&](BluetoothResult<Data> result) {
        answered = true;
        if (auto* e = std::get_if<CBError>(&result)) error = *e;
    });
    EXPECT_TRUE(answered && error);

    // BlueZ coming back is read afresh.
    mock = std::make_unique<BluezMock>(*bus);
    mock->addAdapter();
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOn; }));
}

TEST_F(BluezStackTest, ASystemBusThatRestartsIsJoinedAgain) {
    mock->addAdapter();
    start();
    ASSERT_EQ(manager->state(), CBManagerState::poweredOn);

    // BlueZ goes with the bus; the bus comes back first, BlueZ after it.
    bus->restart();
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOff; }));
    mock = std::make_unique<BluezMock>(*bus);
    mock->addAdapter();
    connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    EXPECT_TRUE(waitFor([&] {
        return manager->state() == CBManagerState::poweredOn &&
               manager->retrieveConnectedPeripherals({battery}).size() == 1;
    }));
}

// A system bus that was away is joined as soon as its daemon is back, however long it was away
// (its socket is watched for; no retry waits for its time): a peripheral of the BlueZ that follows
// is offered within two refreshes of BlueZ listing it.
TEST_F(BluezStackTest, ASystemBusBackAfterAnOutageIsJoinedAsSoonAsItIsThere) {
    mock->addAdapter();
    start();
    ASSERT_EQ(manager->state(), CBManagerState::poweredOn);

    bus->stop();
    ASSERT_TRUE(waitFor([&] { return manager->state() == CBManagerState::poweredOff; }));
    RunLoop::main().runUntil([] { return false; }, 1.5);  // away a while
    bus->start();
    RunLoop::main().runUntil([] { return false; }, 0.5);
    mock = std::make_unique<BluezMock>(*bus);
    mock->addAdapter();
    connectedDevice("A4:83:E7:1C:2D:3E", "Pen", {batteryUUID});
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return manager->retrieveConnectedPeripherals({battery}).size() == 1; }, 2));
}
