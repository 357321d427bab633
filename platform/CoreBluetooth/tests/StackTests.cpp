#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "CoreBluetooth/CBCentralManager.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

const UUID penId = *UUID::fromString("6F1A2B3C-0000-4000-8000-00000000A001");

// A stack that keeps every request until the test answers it, as a stack over a message bus
// answers later, from its own thread.
class ScriptedStack : public BluetoothStack {
public:
    std::weak_ptr<BluetoothStackObserver> observer;
    ConnectCompletion pendingConnect;
    AttributesCompletion pendingDiscovery;
    ValueCompletion pendingRead;

    void addObserver(std::weak_ptr<BluetoothStackObserver> o) override { observer = o; }
    std::vector<BluetoothPeripheralInfo> connectedPeripherals(const std::vector<CBUUID>&) override {
        return {{penId, "Pen"}};
    }
    void connect(const UUID&, ConnectCompletion completion) override { pendingConnect = std::move(completion); }
    void cancelConnection(const UUID&) override {}
    void discoverServices(const UUID&, const std::optional<std::vector<CBUUID>>&, AttributesCompletion completion) override {
        pendingDiscovery = std::move(completion);
    }
    void discoverCharacteristics(const UUID&, const std::string&, const std::optional<std::vector<CBUUID>>&,
                                 AttributesCompletion completion) override {
        pendingDiscovery = std::move(completion);
    }
    void readValue(const UUID&, const std::string&, ValueCompletion completion) override {
        pendingRead = std::move(completion);
    }
};

class Delegate : public CBCentralManagerDelegate, public CBPeripheralDelegate {
public:
    void centralManagerDidUpdateState(CBCentralManager&) override { ++states; }
    void centralManagerDidConnect(CBCentralManager&, const std::shared_ptr<CBPeripheral>&) override {
        connectedOnMain = Thread::isMainThread();
    }
    void peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>&, const std::optional<CBError>& error) override {
        errors.push_back(error.has_value());
    }
    void peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBService>&,
                                                 const std::optional<CBError>& error) override {
        errors.push_back(error.has_value());
    }
    void peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>&, const std::shared_ptr<CBCharacteristic>&,
                                     const std::optional<CBError>& error) override {
        errors.push_back(error.has_value());
    }
    int states = 0;
    std::optional<bool> connectedOnMain;
    std::vector<bool> errors;
};

class StackTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        BluetoothStack::setCurrent(nullptr);
        ::unsetenv("QUILLON_HARDWARE_PROFILE");
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        VirtualTimeTest::TearDown();
    }
    static std::filesystem::path profile(const std::string& name) {
        return std::filesystem::path(QUILLON_FIXTURES_DIR) / "profiles" / name;
    }
};

}  // namespace

TEST_F(StackTest, AnswersFromAnotherThreadAreHandledOnTheMainQueue) {
    auto stack = std::make_shared<ScriptedStack>();
    auto delegate = std::make_shared<Delegate>();
    auto manager = CBCentralManager::make(stack);
    manager->setDelegate(delegate);
    std::thread([observer = stack->observer] { observer.lock()->stackDidUpdateState(CBManagerState::poweredOn); }).join();
    EXPECT_EQ(manager->state(), CBManagerState::unknown);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->states == 1; }, 5));
    EXPECT_EQ(manager->state(), CBManagerState::poweredOn);

    auto p = manager->retrieveConnectedPeripherals({CBUUID("180F")}).at(0);
    p->setDelegate(delegate);
    manager->connect(p);
    std::thread([completion = stack->pendingConnect] { completion(std::nullopt); }).join();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->connectedOnMain.has_value(); }, 5));
    EXPECT_TRUE(*delegate->connectedOnMain);

    // A failed discovery leaves the services as they were.
    p->discoverServices(std::nullopt);
    stack->pendingDiscovery(CBError{CBError::Code::unknown, "busy"});
    runUntilIdle();
    EXPECT_FALSE(p->services());
    p->discoverServices(std::nullopt);
    stack->pendingDiscovery(std::vector<BluetoothAttributeInfo>{{"/svc1", CBUUID("180F")}});
    runUntilIdle();
    ASSERT_TRUE(p->services());
    auto service = p->services()->at(0);
    EXPECT_EQ(service->handle(), "/svc1");
    p->discoverCharacteristics(std::nullopt, service);
    stack->pendingDiscovery(std::vector<BluetoothAttributeInfo>{{"/svc1/char1", CBUUID("2A19")}});
    runUntilIdle();
    auto characteristic = service->characteristics()->at(0);

    // A failed read reports its error and leaves the last value.
    p->readValue(characteristic);
    stack->pendingRead(Data{42});
    runUntilIdle();
    p->readValue(characteristic);
    stack->pendingRead(CBError{CBError::Code::unknown, "no answer"});
    runUntilIdle();
    EXPECT_EQ(characteristic->value(), (Data{42}));
    EXPECT_EQ(delegate->errors, (std::vector<bool>{true, false, false, false, true}));
}

TEST_F(StackTest, ReadsTheBluetoothOfAHardwareProfile) {
    auto stack = SimulatedBluetoothStack::fromProfile(profile("ble-mixed.json"));
    EXPECT_EQ(stack->state(), CBManagerState::poweredOn);
    const auto& peripherals = stack->peripherals();
    ASSERT_EQ(peripherals.size(), 6u);
    const auto& stylus = peripherals[0];
    EXPECT_EQ(stylus.identifier.uuidString(), "6F1A2B3C-0000-4000-8000-00000000B001");
    EXPECT_EQ(stylus.name, "Quill Stylus");
    EXPECT_DOUBLE_EQ(stylus.connectDelay, 0.3);
    ASSERT_TRUE(stylus.levelChange);
    EXPECT_EQ(stylus.levelChange->by, -1);
    ASSERT_EQ(stylus.services.size(), 2u);
    EXPECT_EQ(stylus.services[0].uuid, CBUUID("180F"));
    EXPECT_EQ(stylus.services[0].characteristics[0].value, (Data{64}));
    ASSERT_EQ(stylus.services[1].characteristics.size(), 6u);  // in the order of the file
    EXPECT_EQ(stylus.services[1].characteristics[0].uuid, CBUUID("2A24"));
    EXPECT_EQ(stylus.services[1].characteristics[5].uuid, CBUUID("2A29"));
    EXPECT_EQ(stringFromData(stylus.services[1].characteristics[5].value), "Quillon Labs");
    EXPECT_TRUE(peripherals[3].failsToConnect);
    EXPECT_FALSE(peripherals[4].name);
    EXPECT_EQ(peripherals[4].disconnectAfter, 20.0);
    EXPECT_TRUE(peripherals[4].services[0].characteristics[0].value.empty());
    EXPECT_FALSE(peripherals[5].connected);
    EXPECT_TRUE(peripherals[0].connected);

    EXPECT_EQ(SimulatedBluetoothStack::fromProfile(profile("ble-off.json"))->state(), CBManagerState::poweredOff);
    EXPECT_EQ(SimulatedBluetoothStack::fromProfile(profile("ble-pen.json"))->peripherals().size(), 1u);
    // A profile that says nothing of Bluetooth describes a host whose Bluetooth is off.
    auto none = SimulatedBluetoothStack::fromProfileText(R"({"registry": []})");
    EXPECT_EQ(none->state(), CBManagerState::poweredOff);
    EXPECT_TRUE(none->peripherals().empty());
}

TEST_F(StackTest, RejectsProfilesItCannotRead) {
    const std::string good = R"("identifier": "6F1A2B3C-0000-4000-8000-00000000A001")";
    auto peripheral = [&](const std::string& extra) {
        return R"({"bluetooth": {"peripherals": [{)" + good + extra + "}]}}";
    };
    for (const std::string& text : {std::string("{"), std::string("[]"), std::string(R"({"bluetooth": 1})"),
                                    std::string(R"({"bluetooth": {"state": "on"}})"),
                                    std::string(R"({"bluetooth": {"peripherals": [{"identifier": "pen"}]}})"),
                                    peripheral(R"(, "services": {"180F": {"2A19": [300]}})"),
                                    peripheral(R"(, "services": {"18F": {}})"),
                                    peripheral(R"(, "services": {"180F": {"2A19": 77}})"),
                                    peripheral(R"(, "connectDelay": -1)"), peripheral(R"(, "connected": "yes")"),
                                    peripheral(R"(, "levelChange": {"every": 0, "by": 1})"),
                                    peripheral(R"(, "levelChange": {"every": 1e-300, "by": 1})"),
                                    peripheral(R"(, "levelChange": {"every": 1, "by": 4000000000})"),
                                    R"({"bluetooth": {"peripherals": [{)" + good + "}, {" + good + "}]}}"}) {
        EXPECT_THROW(SimulatedBluetoothStack::fromProfileText(text), BluetoothProfileError) << text;
    }
    EXPECT_THROW(SimulatedBluetoothStack::fromProfile(profile("ble-no-such-file.json")), BluetoothProfileError);
    // A profile read from a file is refused by its name.
    TemporaryDirectory directory;
    auto file = directory.write("fast.json", peripheral(R"(, "levelChange": {"every": 1e-300, "by": 1})"));
    for (const auto& path : {file, directory.path()}) {
        try {
            SimulatedBluetoothStack::fromProfile(path);
            ADD_FAILURE() << path;
        } catch (const BluetoothProfileError& error) {
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
        }
    }
}

TEST_F(StackTest, TheProcessStackComesFromTheNamedProfileOrFromBluez) {
    ::unsetenv("QUILLON_HARDWARE_PROFILE");
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quillon-test-bus", 1);  // no BlueZ either
    BluetoothStack::setCurrent(nullptr);
    auto bluez = std::dynamic_pointer_cast<BluezBluetoothStack>(BluetoothStack::current());
    ASSERT_TRUE(bluez);
    EXPECT_EQ(BluetoothStack::current(), bluez);  // made once
    auto off = CBCentralManager::make();
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return off->state() == CBManagerState::poweredOff; }, 15));

    ::setenv("QUILLON_HARDWARE_PROFILE", profile("ble-pen.json").c_str(), 1);
    BluetoothStack::setCurrent(nullptr);
    auto simulated = std::dynamic_pointer_cast<SimulatedBluetoothStack>(BluetoothStack::current());
    ASSERT_TRUE(simulated);
    EXPECT_EQ(simulated->state(), CBManagerState::poweredOn);
    EXPECT_EQ(simulated->peripherals().size(), 1u);
    auto manager = CBCentralManager::make();
    runUntilIdle();
    EXPECT_EQ(manager->state(), CBManagerState::poweredOn);
    EXPECT_EQ(manager->retrieveConnectedPeripherals({CBUUID("180F")}).at(0)->name(), "Pen");

    ::setenv("QUILLON_HARDWARE_PROFILE", profile("ble-no-such-file.json").c_str(), 1);
    auto fallback = std::dynamic_pointer_cast<SimulatedBluetoothStack>(BluetoothStack::makeDefault());
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->state(), CBManagerState::poweredOff);
}
