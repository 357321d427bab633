#pragma once
// A remote peripheral, as one central manager sees it. The manager hands out one object per
// identifier for its whole life. Discoveries and reads answer later, through the delegate, on the
// main queue; they are ignored unless the peripheral is connected, and answers that arrive after
// the connection ended are dropped.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/CBService.hpp"
#include "CoreBluetooth/CBTypes.hpp"
#include "CoreBluetooth/CBUUID.hpp"
#include "Foundation/UUID.hpp"

class CBPeripheral;

class CBPeripheralDelegate {
public:
    virtual ~CBPeripheralDelegate() = default;
    /// The services asked for are known (`services`), or `error` tells why not.
    virtual void peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                               const std::optional<CBError>& /*error*/) {}
    virtual void peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                                         const std::shared_ptr<CBService>& /*service*/,
                                                         const std::optional<CBError>& /*error*/) {}
    /// A read ended: the characteristic holds the new value, or its old one when `error` is set.
    virtual void peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                             const std::shared_ptr<CBCharacteristic>& /*characteristic*/,
                                             const std::optional<CBError>& /*error*/) {}
    /// Services the peripheral no longer offers (never reported by the stacks we have).
    virtual void peripheralDidModifyServices(const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                             const std::vector<std::shared_ptr<CBService>>& /*invalidatedServices*/) {}
};

class CBPeripheral : public std::enable_shared_from_this<CBPeripheral> {
public:
    CBPeripheral(std::shared_ptr<BluetoothStack> stack, UUID identifier, std::optional<std::string> name);

    const UUID& identifier() const { return identifier_; }
    const std::optional<std::string>& name() const { return name_; }
    CBPeripheralState state() const { return state_; }
    /// The services discovered; absent until a discovery succeeded.
    const std::optional<std::vector<std::shared_ptr<CBService>>>& services() const { return services_; }

    std::shared_ptr<CBPeripheralDelegate> delegate() const { return delegate_.lock(); }
    /// Held weakly.
    void setDelegate(std::weak_ptr<CBPeripheralDelegate> delegate) { delegate_ = std::move(delegate); }

    /// Discovers the services listed, or all of them when `serviceUUIDs` is absent.
    void discoverServices(const std::optional<std::vector<CBUUID>>& serviceUUIDs);
    /// Discovers the characteristics listed (all when absent) of one of the peripheral's services.
    void discoverCharacteristics(const std::optional<std::vector<CBUUID>>& characteristicUUIDs,
                                 const std::shared_ptr<CBService>& service);
    void readValue(const std::shared_ptr<CBCharacteristic>& characteristic);

private:
    friend class CBCentralManager;

    /// Moves to a state; leaving or entering the connected state ends the answers still awaited.
    void setState(CBPeripheralState state);
    /// A stack completion that posts the answer to the main queue, where `handler` gets it only
    /// while the peripheral lives and the connection it was asked on lasts.
    template <class Result, class Handler>
    std::function<void(Result)> onMain(Handler handler);

    std::shared_ptr<BluetoothStack> stack_;
    UUID identifier_;
    std::optional<std::string> name_;
    CBPeripheralState state_ = CBPeripheralState::disconnected;
    std::uint64_t connection_ = 0;  // counts state changes; answers to older requests are dropped
    std::optional<std::vector<std::shared_ptr<CBService>>> services_;
    std::weak_ptr<CBPeripheralDelegate> delegate_;
};
