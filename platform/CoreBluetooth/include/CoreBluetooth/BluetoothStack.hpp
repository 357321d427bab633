#pragma once
// The Bluetooth stack under the central manager: what the host's Bluetooth can tell and do.
// A stack answers asynchronously through completion handlers and reports events to its
// observers; both may happen on any thread, at any time (even inside the call that asked), and
// must never block the caller for long: the central manager posts every answer to the main queue
// before it acts on it. Services and characteristics are known to the manager by the handles the
// stack gives them.
//
// The process has one current stack (a seam): a simulated stack read from the hardware profile
// named by QUILLON_HARDWARE_PROFILE; else BlueZ on the system bus, followed as it comes and goes
// (Bluetooth counts as powered off while BlueZ is not there). Tests install their own.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "CoreBluetooth/CBTypes.hpp"
#include "CoreBluetooth/CBUUID.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/UUID.hpp"

/// A value, or the error that stood in its way.
template <class T>
using BluetoothResult = std::variant<T, CBError>;

struct BluetoothPeripheralInfo {
    UUID identifier;
    std::optional<std::string> name;
};

/// A service or characteristic as the stack knows it: a handle meaningful to the stack (an object
/// path, an index) and its identifier.
struct BluetoothAttributeInfo {
    std::string handle;
    CBUUID uuid;
};

/// Events of the stack. Methods may be called on any thread.
class BluetoothStackObserver {
public:
    virtual ~BluetoothStackObserver() = default;
    /// The adapter's state is known, or has changed.
    virtual void stackDidUpdateState(CBManagerState state) = 0;
    /// The link to a peripheral was lost (it went out of range, or was switched off).
    virtual void stackDidLoseConnection(const UUID& peripheral, const CBError& error) = 0;
    /// A peripheral was heard advertising.
    virtual void stackDidDiscover(const BluetoothPeripheralInfo& peripheral, const CBAdvertisementData& advertisement,
                                  int rssi) = 0;
};

class BluetoothStack {
public:
    using ConnectCompletion = std::function<void(std::optional<CBError>)>;
    using AttributesCompletion = std::function<void(BluetoothResult<std::vector<BluetoothAttributeInfo>>)>;
    using ValueCompletion = std::function<void(BluetoothResult<Data>)>;

    virtual ~BluetoothStack() = default;

    /// Adds an observer, held weakly. The stack reports its state to it as soon as that is known.
    virtual void addObserver(std::weak_ptr<BluetoothStackObserver> observer) = 0;

    /// The peripherals the host holds connected that offer any of the services, from what the
    /// stack already knows (it must not wait for the adapter).
    virtual std::vector<BluetoothPeripheralInfo> connectedPeripherals(const std::vector<CBUUID>& services) = 0;

    /// Opens this program's connection to the peripheral.
    virtual void connect(const UUID& peripheral, ConnectCompletion completion) = 0;
    /// Gives up this program's connection (or the attempt to make one). The host's own link to the
    /// peripheral, which other programs and the system use, stays up.
    virtual void cancelConnection(const UUID& peripheral) = 0;

    /// The peripheral's services, in the peripheral's order; only those listed when a filter is given.
    virtual void discoverServices(const UUID& peripheral, const std::optional<std::vector<CBUUID>>& filter,
                                  AttributesCompletion completion) = 0;
    /// The characteristics of one service, in order; only those listed when a filter is given.
    virtual void discoverCharacteristics(const UUID& peripheral, const std::string& service,
                                         const std::optional<std::vector<CBUUID>>& filter,
                                         AttributesCompletion completion) = 0;
    /// The current value of a characteristic.
    virtual void readValue(const UUID& peripheral, const std::string& characteristic, ValueCompletion completion) = 0;

    /// The current stack of the process; made on first use when none was set.
    static std::shared_ptr<BluetoothStack> current();
    /// Installs a stack for the whole process; nullptr brings back the default choice.
    static void setCurrent(std::shared_ptr<BluetoothStack> stack);
    /// The default choice: the hardware profile's Bluetooth when one is named (powered off when it
    /// cannot be read), else BlueZ on the system bus.
    static std::shared_ptr<BluetoothStack> makeDefault();
};
