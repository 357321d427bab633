#include <gtest/gtest.h>

#include <sstream>

#include "CoreBluetooth/CBCentralManager.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const UUID penId = *UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A001");
const UUID strapId = *UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A002");
const CBUUID battery("180F"), information("180A"), level("2A19"), model("2A24"), maker("2A29");

SimulatedPeripheral pen() {
    SimulatedPeripheral p;
    p.identifier = penId;
    p.name = "Pen";
    p.services = {{battery, {{level, {77}}}}, {information, {{model, dataFromString("Pen2,1")}, {maker, dataFromString("Maker")}}}};
    return p;
}

SimulatedPeripheral strap() {
    SimulatedPeripheral p;
    p.identifier = strapId;
    p.services = {{information, {{model, dataFromString("HS-1")}}}};
    return p;
}

std::string describe(const std::optional<CBError>& error) { return error ? " error" : ""; }

// Writes down every callback, and whether it ran on the main thread.
class Recorder : public CBCentralManagerDelegate, public CBPeripheralDelegate {
public:
    std::vector<std::string> events;
    bool offMainThread = false;

    void note(const std::string& event) {
        offMainThread = offMainThread || !Thread::isMainThread();
        events.push_back(event);
    }
    static std::string nameOf(const std::shared_ptr<CBPeripheral>& p) { return p->name().value_or("?"); }

    void centralManagerDidUpdateState(CBCentralManager& central) override {
        note("state " + std::to_string(rawValue(central.state())));
    }
    void centralManagerDidConnect(CBCentralManager&, const std::shared_ptr<CBPeripheral>& p) override {
        note("connected " + nameOf(p));
    }
    void centralManagerDidFailToConnect(CBCentralManager&, const std::shared_ptr<CBPeripheral>& p,
                                        const std::optional<CBError>& error) override {
        note("failed " + nameOf(p) + describe(error));
    }
    void centralManagerDidDisconnectPeripheral(CBCentralManager&, const std::shared_ptr<CBPeripheral>& p,
                                               const std::optional<CBError>& error) override {
        note("disconnected " + nameOf(p) + describe(error));
    }
    void centralManagerDidDiscover(CBCentralManager&, const std::shared_ptr<CBPeripheral>& p,
                                   const CBAdvertisementData& data, int rssi) override {
        discovered = p;
        note("discovered " + nameOf(p) + " " + std::to_string(data.size()) + " " + std::to_string(rssi));
    }
    void peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>& p, const std::optional<CBError>& error) override {
        std::string list;
        for (const auto& s : p->services().value_or(std::vector<std::shared_ptr<CBService>>{})) list += " " + s->uuid().uuidString();
        note("services" + list + describe(error));
    }
    void peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBService>& s,
                                                 const std::optional<CBError>& error) override {
        std::string list;
        for (const auto& c : s->characteristics().value_or(std::vector<std::shared_ptr<CBCharacteristic>>{}))
            list += " " + c->uuid().uuidString();
        note("characteristics " + s->uuid().uuidString() + ":" + list + describe(error));
    }
    void peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBCharacteristic>& c,
                                     const std::optional<CBError>& error) override {
        std::ostringstream bytes;
        for (auto byte : c->value().value_or(Data{})) bytes << " " << int(byte);
        note("value " + c->uuid().uuidString() + bytes.str() + describe(error));
    }

    std::shared_ptr<CBPeripheral> discovered;
};

class CentralManagerTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        recorder = std::make_shared<Recorder>();
    }

    /// A manager on the stack, with its state known.
    std::shared_ptr<CBCentralManager> start(const std::shared_ptr<BluetoothStack>& stack) {
        auto manager = CBCentralManager::make(stack);
        manager->setDelegate(recorder);
        runUntilIdle();
        recorder->events.clear();
        return manager;
    }

    std::shared_ptr<CBPeripheral> connectedPen(CBCentralManager& manager) {
        auto found = manager.retrieveConnectedPeripherals({battery});
        EXPECT_EQ(found.size(), 1u);
        auto p = found.at(0);
        p->setDelegate(recorder);
        manager.connect(p);
        runUntilIdle();
        EXPECT_EQ(p->state(), CBPeripheralState::connected);
        recorder->events.clear();
        return p;
    }

    std::shared_ptr<Recorder> recorder;
};

}  // namespace

TEST_F(CentralManagerTest, StateIsUnknownUntilTheStackReportsIt) {
    auto stack = std::make_shared<SimulatedBluetoothStack>();
    auto manager = CBCentralManager::make(stack);
    manager->setDelegate(recorder);
    EXPECT_EQ(manager->state(), CBManagerState::unknown);
    EXPECT_TRUE(recorder->events.empty());
    runUntilIdle();
    EXPECT_EQ(manager->state(), CBManagerState::poweredOn);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"state 5"});

    stack->setState(CBManagerState::poweredOff);
    EXPECT_EQ(manager->state(), CBManagerState::poweredOn);
    runUntilIdle();
    EXPECT_EQ(recorder->events.back(), "state 4");
    stack->setState(CBManagerState::poweredOff);  // no change, no callback
    runUntilIdle();
    EXPECT_EQ(recorder->events.size(), 2u);
}

TEST_F(CentralManagerTest, RetrievesConnectedPeripheralsOfferingAnyServiceAsTheSameObjects) {
    auto away = pen();
    away.identifier = UUID();
    away.connected = false;  // the host does not hold it connected
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn,
                                                           std::vector<SimulatedPeripheral>{pen(), strap(), away});
    auto manager = start(stack);

    auto both = manager->retrieveConnectedPeripherals({battery, information});
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0]->identifier(), penId);
    EXPECT_EQ(both[0]->name(), "Pen");
    EXPECT_EQ(both[1]->identifier(), strapId);
    EXPECT_FALSE(both[1]->name());
    EXPECT_EQ(both[0]->state(), CBPeripheralState::disconnected);
    EXPECT_FALSE(both[0]->services());

    auto batteryOnly = manager->retrieveConnectedPeripherals({battery});
    ASSERT_EQ(batteryOnly.size(), 1u);
    EXPECT_EQ(batteryOnly[0], both[0]);
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({CBUUID("1812")}).empty());

    stack->setState(CBManagerState::poweredOff);
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({battery, information}).empty());
}

TEST_F(CentralManagerTest, FollowsAPeripheralFromConnectionToItsValues) {
    auto slow = pen();
    slow.connectDelay = 0.2;
    auto manager = start(std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn,
                                                                   std::vector<SimulatedPeripheral>{slow}));
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    p->setDelegate(recorder);

    manager->connect(p);
    EXPECT_EQ(p->state(), CBPeripheralState::connecting);
    manager->connect(p);  // already connecting: left alone
    advance(0.15);
    EXPECT_TRUE(recorder->events.empty());
    advance(0.05);
    EXPECT_EQ(p->state(), CBPeripheralState::connected);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"connected Pen"});

    p->discoverServices(std::vector<CBUUID>{battery, information});
    EXPECT_FALSE(p->services());  // answers come later, never inside the call
    runUntilIdle();
    ASSERT_TRUE(p->services());
    ASSERT_EQ(p->services()->size(), 2u);

    for (const auto& service : *p->services()) p->discoverCharacteristics(std::nullopt, service);
    EXPECT_EQ(recorder->events.size(), 2u);
    runUntilIdle();
    for (const auto& service : *p->services()) {
        for (const auto& characteristic : *service->characteristics()) p->readValue(characteristic);
    }
    runUntilIdle();
    EXPECT_EQ(recorder->events, (std::vector<std::string>{
                                    "connected Pen", "services 180F 180A", "characteristics 180F: 2A19",
                                    "characteristics 180A: 2A24 2A29", "value 2A19 77",
                                    "value 2A24 80 101 110 50 44 49", "value 2A29 77 97 107 101 114"}));
    EXPECT_FALSE(recorder->offMainThread);

    // Discovering again keeps the objects, and so the values already read.
    auto service = p->services()->at(0);
    auto characteristic = service->characteristics()->at(0);
    p->discoverServices(std::vector<CBUUID>{battery});
    runUntilIdle();
    ASSERT_EQ(p->services()->size(), 1u);
    EXPECT_EQ(p->services()->at(0), service);
    p->discoverCharacteristics(std::nullopt, service);
    runUntilIdle();
    EXPECT_EQ(service->characteristics()->at(0), characteristic);
    EXPECT_EQ(characteristic->value(), (Data{77}));
    EXPECT_EQ(characteristic->service(), service);
    EXPECT_EQ(service->peripheral(), p);
}

TEST_F(CentralManagerTest, FailedConnectionsAndCancelledOnesEndDisconnected) {
    auto failing = pen();
    failing.connectDelay = 1.0;
    failing.failsToConnect = true;
    auto slow = strap();
    slow.name = "Strap";
    slow.connectDelay = 1.0;
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn,
                                                           std::vector<SimulatedPeripheral>{failing, slow});
    auto manager = start(stack);
    auto found = manager->retrieveConnectedPeripherals({battery, information});
    auto p = found.at(0), s = found.at(1);

    manager->connect(p);
    manager->connect(s);
    manager->cancelPeripheralConnection(s);  // gives up the attempt at once
    EXPECT_EQ(s->state(), CBPeripheralState::disconnected);
    EXPECT_TRUE(recorder->events.empty());
    advance(2.0);
    EXPECT_EQ(recorder->events, (std::vector<std::string>{"disconnected Strap", "failed Pen error"}));
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_EQ(s->state(), CBPeripheralState::disconnected);  // the late answer of the stack is ignored
    EXPECT_EQ(stack->cancelRequests(strapId), 1);

    // Cancelling a peripheral that is not connected does nothing.
    manager->cancelPeripheralConnection(p);
    runUntilIdle();
    EXPECT_EQ(recorder->events.size(), 2u);
}

TEST_F(CentralManagerTest, CancellingDropsPendingAnswersButKeepsTheHostsLink) {
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn, std::vector<SimulatedPeripheral>{pen()});
    auto manager = start(stack);
    auto p = connectedPen(*manager);

    p->discoverServices(std::nullopt);
    manager->cancelPeripheralConnection(p);
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    runUntilIdle();
    EXPECT_EQ(recorder->events, std::vector<std::string>{"disconnected Pen"});
    EXPECT_FALSE(p->services());

    // The host still holds the pen, so it is found and can be connected again.
    ASSERT_EQ(manager->retrieveConnectedPeripherals({battery}).size(), 1u);
    manager->connect(p);
    runUntilIdle();
    EXPECT_EQ(recorder->events.back(), "connected Pen");
    // Operations on a peripheral that is not connected are ignored.
    manager->cancelPeripheralConnection(p);
    p->discoverServices(std::nullopt);
    runUntilIdle();
    EXPECT_EQ(recorder->events.back(), "disconnected Pen");
}

TEST_F(CentralManagerTest, LinksThatDropAreReportedWithAnError) {
    auto leaving = pen();
    leaving.disconnectAfter = 3.0;
    auto slow = strap();
    slow.connectDelay = 1;
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn,
                                                           std::vector<SimulatedPeripheral>{leaving, slow});
    auto manager = start(stack);
    auto p = connectedPen(*manager);

    advance(2.9);
    EXPECT_TRUE(recorder->events.empty());
    advance(0.1);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"disconnected Pen error"});
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_TRUE(manager->retrieveConnectedPeripherals({battery}).empty());

    // A link lost while connecting fails the connection.
    auto s = manager->retrieveConnectedPeripherals({information}).at(0);
    manager->connect(s);
    stack->setConnected(strapId, false);
    advance(2);
    EXPECT_EQ(recorder->events, (std::vector<std::string>{"disconnected Pen error", "failed ? error"}));
}

TEST_F(CentralManagerTest, PoweringOffDisconnectsEveryPeripheralSilently) {
    auto slow = strap();
    slow.connectDelay = 1;
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn,
                                                           std::vector<SimulatedPeripheral>{pen(), slow});
    auto manager = start(stack);
    auto p = connectedPen(*manager);
    auto s = manager->retrieveConnectedPeripherals({information}).at(1);
    manager->connect(s);
    stack->setState(CBManagerState::poweredOff);
    advance(2);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"state 4"});
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_EQ(s->state(), CBPeripheralState::disconnected);

    manager->connect(p);  // ignored while off
    runUntilIdle();
    EXPECT_EQ(p->state(), CBPeripheralState::disconnected);
    EXPECT_EQ(recorder->events.size(), 1u);

    stack->setState(CBManagerState::poweredOn);
    runUntilIdle();
    EXPECT_EQ(manager->retrieveConnectedPeripherals({battery}).at(0), p);
    manager->connect(p);
    runUntilIdle();
    EXPECT_EQ(recorder->events.back(), "connected Pen");
}

TEST_F(CentralManagerTest, BatteryLevelChangesOverTimeWithinItsRange) {
    auto draining = pen();
    draining.levelChange = SimulatedPeripheral::LevelChange{10, -30};
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn, std::vector<SimulatedPeripheral>{draining});
    auto manager = start(stack);
    auto p = connectedPen(*manager);
    p->discoverServices(std::nullopt);
    runUntilIdle();
    auto service = p->services()->at(0);
    p->discoverCharacteristics(std::nullopt, service);
    runUntilIdle();
    auto characteristic = service->characteristics()->at(0);
    auto read = [&] {
        p->readValue(characteristic);
        runUntilIdle();
        return characteristic->value().value_or(Data{}).at(0);
    };
    EXPECT_EQ(read(), 77);
    advance(9.9);
    EXPECT_EQ(read(), 77);
    advance(0.1);
    EXPECT_EQ(read(), 47);
    advance(20);
    EXPECT_EQ(read(), 0);  // never below empty

    stack->setValue(penId, battery, level, {90});
    EXPECT_EQ(read(), 90);
    advance(10);
    EXPECT_EQ(read(), 60);
}

TEST_F(CentralManagerTest, AdvertisementsReachTheDelegateWithTheManagersPeripheral) {
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn, std::vector<SimulatedPeripheral>{pen()});
    auto manager = start(stack);
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    CBAdvertisementData data{{CBAdvertisementDataIsConnectable, PropertyListValue(1)},
                             {CBAdvertisementDataManufacturerDataKey, PropertyListValue(Data{0x4C, 0x00, 0x01})}};
    stack->advertise({penId, "Pen"}, data, -60);
    EXPECT_TRUE(recorder->events.empty());
    runUntilIdle();
    EXPECT_EQ(recorder->events, std::vector<std::string>{"discovered Pen 2 -60"});
    EXPECT_EQ(recorder->discovered, p);
}

TEST_F(CentralManagerTest, CallbacksNeedALivingDelegateAndManager) {
    auto stack = std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOn, std::vector<SimulatedPeripheral>{pen()});
    auto manager = start(stack);
    auto p = manager->retrieveConnectedPeripherals({battery}).at(0);
    manager->connect(p);
    recorder.reset();  // the delegates are held weakly
    runUntilIdle();
    EXPECT_EQ(p->state(), CBPeripheralState::connected);

    manager->cancelPeripheralConnection(p);
    manager.reset();
    runUntilIdle();  // nothing left to call
    stack->setState(CBManagerState::poweredOff);
    runUntilIdle();
}
