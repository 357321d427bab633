#pragma once
// A Bluetooth stack that simulates the host's adapter and its peripherals, described in code or
// by the "bluetooth" object of a hardware profile:
//
//   "bluetooth": { "state": "poweredOn",
//     "peripherals": [
//       { "identifier": "6F1A2B3C-0000-4000-8000-00000000A001", "name": "Pen",
//         "connected": true,          // the host holds it connected (default true)
//         "connectDelay": 0.2,        // seconds a connection takes (default 0)
//         "failsToConnect": false,    // every connection fails after the delay
//         "disconnectAfter": 30,      // the link drops this many seconds after a connection
//         "levelChange": { "every": 60, "by": -1 },  // the Battery Level moves over time (0-100)
//         "services": { "180F": { "2A19": [77] },      // bytes...
//                       "180A": { "2A24": "Pen2,1" } } } ] }  // ...or UTF-8 text
//
// Services and characteristics keep the order of the file. A peripheral without "180F" has no
// Battery Service. Time is the process clock's, so tests drive it on virtual time. Delays run on
// main-queue timers: the simulated stack is made with std::make_shared and used on the main thread.
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CoreBluetooth/BluetoothStack.hpp"

/// A hardware profile whose Bluetooth part cannot be read.
class BluetoothProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SimulatedCharacteristic {
    CBUUID uuid;
    Data value;
};

struct SimulatedService {
    CBUUID uuid;
    std::vector<SimulatedCharacteristic> characteristics;
};

struct SimulatedPeripheral {
    /// The Battery Level (2A19 of 180F) moves by `by` every `every` seconds, within 0-100.
    struct LevelChange {
        /// The shortest step a profile may give, in seconds.
        static constexpr double shortestStep = 0.001;
        double every = 60;
        int by = -1;
    };

    UUID identifier;
    std::optional<std::string> name;
    bool connected = true;
    double connectDelay = 0;
    bool failsToConnect = false;
    std::optional<double> disconnectAfter;
    std::optional<LevelChange> levelChange;
    std::vector<SimulatedService> services;
};

class SimulatedBluetoothStack final : public BluetoothStack,
                                      public std::enable_shared_from_this<SimulatedBluetoothStack> {
public:
    explicit SimulatedBluetoothStack(CBManagerState state = CBManagerState::poweredOn,
                                     std::vector<SimulatedPeripheral> peripherals = {});

    /// The stack described by a profile's "bluetooth" object; a profile without one describes a
    /// host whose Bluetooth is powered off. Throws BluetoothProfileError, naming the file, for a
    /// profile that cannot be read (as HardwareProfile::readText says) or that describes no stack
    /// (a "levelChange" needs "every" of at least shortestStep and "by" from -100 to 100).
    static std::shared_ptr<SimulatedBluetoothStack> fromProfile(const std::filesystem::path& path);
    static std::shared_ptr<SimulatedBluetoothStack> fromProfileText(const std::string& json);

    // BluetoothStack
    void addObserver(std::weak_ptr<BluetoothStackObserver> observer) override;
    std::vector<BluetoothPeripheralInfo> connectedPeripherals(const std::vector<CBUUID>& services) override;
    void connect(const UUID& peripheral, ConnectCompletion completion) override;
    void cancelConnection(const UUID& peripheral) override;
    void discoverServices(const UUID& peripheral, const std::optional<std::vector<CBUUID>>& filter,
                          AttributesCompletion completion) override;
    void discoverCharacteristics(const UUID& peripheral, const std::string& service,
                                 const std::optional<std::vector<CBUUID>>& filter,
                                 AttributesCompletion completion) override;
    void readValue(const UUID& peripheral, const std::string& characteristic, ValueCompletion completion) override;

    // What happens to the simulated host: tests and demos call these.
    CBManagerState state() const { return state_; }
    /// Switches the adapter; observers are told. Off, no peripheral is held connected.
    void setState(CBManagerState state);
    void addPeripheral(SimulatedPeripheral peripheral);
    /// Brings a peripheral's link up or down; a link that goes down is reported lost to observers.
    void setConnected(const UUID& peripheral, bool connected);
    /// Replaces a characteristic's value (a Battery Level that changes over time starts anew from it).
    void setValue(const UUID& peripheral, const CBUUID& service, const CBUUID& characteristic, Data value);
    /// Lets observers hear a peripheral advertising.
    void advertise(const BluetoothPeripheralInfo& peripheral, const CBAdvertisementData& advertisement, int rssi);

    const std::vector<SimulatedPeripheral>& peripherals() const { return peripherals_; }
    /// How often connect() and cancelConnection() were asked for a peripheral.
    int connectRequests(const UUID& peripheral) const;
    int cancelRequests(const UUID& peripheral) const;

private:
    static std::shared_ptr<SimulatedBluetoothStack> stackOf(const std::string& json);
    SimulatedPeripheral* find(const UUID& identifier);
    const SimulatedPeripheral* find(const UUID& identifier) const;
    void finishConnecting(const UUID& identifier, const ConnectCompletion& completion);
    /// The value a read gives now: the stored one, moved along by the level's change over time.
    Data currentValue(const SimulatedPeripheral& peripheral, std::size_t service, std::size_t characteristic) const;
    template <class Action>
    void forEachObserver(Action action);

    CBManagerState state_;
    std::vector<SimulatedPeripheral> peripherals_;
    std::map<UUID, std::size_t> positions_;  // of each peripheral in peripherals_
    std::map<UUID, double> levelSince_;  // when each peripheral's stored level was set
    std::map<UUID, int> connectRequests_, cancelRequests_;
    std::map<UUID, std::uint64_t> links_;  // counts each peripheral's links, so a drop timer hits its own link only
    std::vector<std::weak_ptr<BluetoothStackObserver>> observers_;
};
