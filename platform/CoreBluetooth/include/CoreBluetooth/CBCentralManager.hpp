#pragma once
// The central manager: the program's side of Bluetooth Low Energy. Made without a queue, so that
// every callback runs on the main queue; a callback always arrives later, never inside the call
// that caused it. The manager never scans: it finds peripherals the host already holds connected.
//
// Its state starts unknown and becomes known through centralManagerDidUpdateState. When Bluetooth
// leaves the powered-on state, every peripheral becomes disconnected without a callback of its own.
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/CBPeripheral.hpp"
#include "CoreBluetooth/CBTypes.hpp"
#include "CoreBluetooth/CBUUID.hpp"

class CBCentralManager;

class CBCentralManagerDelegate {
public:
    virtual ~CBCentralManagerDelegate() = default;
    virtual void centralManagerDidUpdateState(CBCentralManager& central) = 0;
    virtual void centralManagerDidConnect(CBCentralManager& /*central*/,
                                          const std::shared_ptr<CBPeripheral>& /*peripheral*/) {}
    virtual void centralManagerDidFailToConnect(CBCentralManager& /*central*/,
                                                const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                                const std::optional<CBError>& /*error*/) {}
    /// The connection ended: cancelled by the program (no error) or lost (an error).
    virtual void centralManagerDidDisconnectPeripheral(CBCentralManager& /*central*/,
                                                       const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                                       const std::optional<CBError>& /*error*/) {}
    /// A peripheral was heard advertising.
    virtual void centralManagerDidDiscover(CBCentralManager& /*central*/,
                                           const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                           const CBAdvertisementData& /*advertisementData*/, int /*rssi*/) {}
    /// State handed over by the system when it restarts the program (never, here).
    virtual void centralManagerWillRestoreState(CBCentralManager& /*central*/,
                                                const std::map<std::string, PropertyListValue>& /*state*/) {}
};

class CBCentralManager : public std::enable_shared_from_this<CBCentralManager> {
public:
    /// A manager on the process's current Bluetooth stack.
    static std::shared_ptr<CBCentralManager> make();
    static std::shared_ptr<CBCentralManager> make(std::shared_ptr<BluetoothStack> stack);
    ~CBCentralManager();

    CBManagerState state() const { return state_; }
    std::shared_ptr<CBCentralManagerDelegate> delegate() const { return delegate_.lock(); }
    /// Held weakly.
    void setDelegate(std::weak_ptr<CBCentralManagerDelegate> delegate) { delegate_ = std::move(delegate); }

    /// The peripherals the host holds connected that offer any of the services.
    std::vector<std::shared_ptr<CBPeripheral>> retrieveConnectedPeripherals(const std::vector<CBUUID>& serviceUUIDs);
    /// Connects to one of this manager's peripherals: centralManagerDidConnect or
    /// centralManagerDidFailToConnect follows. Ignored unless Bluetooth is powered on; a peripheral
    /// already connecting is left alone, one already connected is reported connected again.
    void connect(const std::shared_ptr<CBPeripheral>& peripheral);
    /// Ends the connection or the attempt: the peripheral is disconnected at once and
    /// centralManagerDidDisconnectPeripheral (no error) follows. Nothing happens for a
    /// peripheral that is neither connected nor connecting.
    void cancelPeripheralConnection(const std::shared_ptr<CBPeripheral>& peripheral);

private:
    class Observer;

    explicit CBCentralManager(std::shared_ptr<BluetoothStack> stack);
    /// This manager's object for the identifier, made on first sight.
    std::shared_ptr<CBPeripheral> peripheral(const BluetoothPeripheralInfo& info);
    std::shared_ptr<CBPeripheral> knownPeripheral(const UUID& identifier) const;
    bool owns(const std::shared_ptr<CBPeripheral>& peripheral) const;

    void updateState(CBManagerState state);
    void connectionEnded(const std::shared_ptr<CBPeripheral>& peripheral, std::uint64_t attempt,
                         const std::optional<CBError>& error);
    void connectionLost(const UUID& identifier, const CBError& error);
    void discovered(const BluetoothPeripheralInfo& info, const CBAdvertisementData& advertisement, int rssi);

    std::shared_ptr<BluetoothStack> stack_;
    std::shared_ptr<Observer> observer_;
    CBManagerState state_ = CBManagerState::unknown;
    std::weak_ptr<CBCentralManagerDelegate> delegate_;
    std::map<UUID, std::shared_ptr<CBPeripheral>> peripherals_;
};
