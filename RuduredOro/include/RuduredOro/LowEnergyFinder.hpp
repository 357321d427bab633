#pragma once
// The finder of Bluetooth Low Energy peripherals that report a battery level. It never scans: on
// every refresh it asks the central manager for the peripherals the host already holds connected
// that offer the Battery Service (180F) or the Device Information Service (180A), connects to the
// ones it does not know yet, discovers their services, reads the Battery Level and the Device
// Information texts, and keeps one LowEnergyDevice per peripheral. A device not heard from for
// more than 5 seconds is dropped; it comes back on a later refresh while the host still holds the
// peripheral connected. A peripheral without a Battery Service is let go and remembered in the
// user defaults ("NoBatteryServiceDevices"; those let go during one pass of the main loop are
// stored together, with the next pass). It is not tried again while the host goes on holding it
// connected and tells of no Battery Service for it: once the host lets it go, or tells of one, a
// later refresh tries it again.
//
// The central manager has no queue of its own, so every callback arrives on the main queue; the
// finder is used on the main thread only and locks nothing. A callback costs the same however many
// devices there are: devices and connecting peripherals are found through indexes, and a refresh
// costs in proportion to the peripherals the host holds connected, with little for each that is
// let go.
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "CoreBluetooth/CBCentralManager.hpp"
#include "CoreBluetooth/CBPeripheral.hpp"
#include "RuduredOro/IOKitController.hpp"
#include "RuduredOro/LowEnergyDevice.hpp"

namespace RuduredOro {

/// Told of the finder's changes. Held weakly.
class LowEnergyDelegate {
public:
    virtual ~LowEnergyDelegate() = default;
    virtual void didUpdateDevices() = 0;
    /// The central manager's state, as its raw value.
    virtual void didUpdateState(std::int64_t state) = 0;
};

class ILowEnergyFinder {
public:
    virtual ~ILowEnergyFinder() = default;
    virtual std::shared_ptr<LowEnergyDelegate> delegate() const = 0;
    virtual void setDelegate(std::weak_ptr<LowEnergyDelegate> delegate) = 0;
    virtual bool isPoweredOn() const = 0;
    virtual std::vector<std::shared_ptr<LowEnergyDevice>> devices() const = 0;
    virtual void refresh() = 0;
    virtual void find() = 0;
    virtual void disconnectAll() = 0;
    virtual void connect(const std::shared_ptr<LowEnergyDevice>& device) = 0;
    virtual void disconnect(const std::shared_ptr<LowEnergyDevice>& device) = 0;
};

class LowEnergyFinder : public ILowEnergyFinder,
                        public CBCentralManagerDelegate,
                        public CBPeripheralDelegate,
                        public std::enable_shared_from_this<LowEnergyFinder> {
public:
    /// A finder with a new IOKitController and a central manager on the process's Bluetooth
    /// stack, whose delegate it is.
    static std::shared_ptr<LowEnergyFinder> make();

    // ILowEnergyFinder
    std::shared_ptr<LowEnergyDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<LowEnergyDelegate> delegate) override { delegate_ = std::move(delegate); }
    /// The central manager is powered on.
    bool isPoweredOn() const override;
    /// The current devices, in the order they were added. The objects are the finder's own, which
    /// it goes on updating.
    std::vector<std::shared_ptr<LowEnergyDevice>> devices() const override;
    /// Finds new peripherals, asks every connected device's Battery Service for its
    /// characteristics again (so that the level is read again), and drops stale devices.
    void refresh() override;
    /// Makes a device for every connected peripheral with either service that has none yet and
    /// connects it; stops at once when Bluetooth is not powered on.
    void find() override;
    /// Cancels every device's connection and forgets everything.
    void disconnectAll() override;
    /// Connects the device's peripheral unless it is connecting already or failed to connect.
    void connect(const std::shared_ptr<LowEnergyDevice>& device) override;
    /// Cancels the device's connection and drops every device of its peripheral.
    void disconnect(const std::shared_ptr<LowEnergyDevice>& device) override;

    /// Asks for a connection unless one is being made or the peripheral is not disconnected.
    void connect(const std::shared_ptr<CBPeripheral>& peripheral);
    /// Drops the devices not heard from for more than 5 seconds, then tells the delegate.
    void removeStaleDevices();

    const std::shared_ptr<IIOKitController>& ioKitController() const { return ioKitController_; }
    void setIOKitController(std::shared_ptr<IIOKitController> controller) { ioKitController_ = std::move(controller); }
    const std::shared_ptr<CBCentralManager>& manager() const { return manager_; }
    /// Peripherals asked to connect that have not connected, failed or disconnected yet, in the
    /// order they were asked.
    const std::deque<std::shared_ptr<CBPeripheral>>& connectingPeripherals() const { return connectingPeripherals_; }
    /// Identifier texts of peripherals whose connection failed.
    const std::set<std::string>& failedDevices() const { return failedDevices_; }
    /// When the delegate was last told of a value, seconds since 1970.
    double lastUpdate() const { return lastUpdate_; }

    // CBCentralManagerDelegate
    void centralManagerDidUpdateState(CBCentralManager& central) override;
    void centralManagerDidConnect(CBCentralManager& central, const std::shared_ptr<CBPeripheral>& peripheral) override;
    void centralManagerDidFailToConnect(CBCentralManager& central, const std::shared_ptr<CBPeripheral>& peripheral,
                                        const std::optional<CBError>& error) override;
    void centralManagerDidDisconnectPeripheral(CBCentralManager& central, const std::shared_ptr<CBPeripheral>& peripheral,
                                               const std::optional<CBError>& error) override;
    void centralManagerDidDiscover(CBCentralManager& central, const std::shared_ptr<CBPeripheral>& peripheral,
                                   const CBAdvertisementData& advertisementData, int rssi) override;
    void centralManagerWillRestoreState(CBCentralManager& central,
                                        const std::map<std::string, PropertyListValue>& state) override;

    // CBPeripheralDelegate
    void peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>& peripheral,
                                       const std::optional<CBError>& error) override;
    void peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>& peripheral,
                                                 const std::shared_ptr<CBService>& service,
                                                 const std::optional<CBError>& error) override;
    void peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>& peripheral,
                                     const std::shared_ptr<CBCharacteristic>& characteristic,
                                     const std::optional<CBError>& error) override;
    void peripheralDidModifyServices(const std::shared_ptr<CBPeripheral>& peripheral,
                                     const std::vector<std::shared_ptr<CBService>>& invalidatedServices) override;

private:
    LowEnergyFinder();

    /// The first device whose serial is the peripheral's identifier text (found through an
    /// index of the devices by the serial they were added with).
    std::shared_ptr<LowEnergyDevice> device(const std::shared_ptr<CBPeripheral>& peripheral) const;
    void add(std::shared_ptr<LowEnergyDevice> device);
    /// Drops the devices that match, keeping the order of the others.
    template <class Predicate>
    void dropDevices(Predicate matches);
    /// Drops one device, keeping the order of the others.
    void dropDevice(const std::shared_ptr<LowEnergyDevice>& device);
    /// Drops every device whose peripheral has the same identifier.
    void removeDevices(const std::shared_ptr<CBPeripheral>& peripheral);
    /// Takes the peripheral out of the connecting ones (the first entry that is the same object;
    /// connections mostly end in the order they were asked, so it is near the front).
    void stopConnecting(const std::shared_ptr<CBPeripheral>& peripheral);
    void forgetConnecting();
    /// Lets go of a peripheral without a Battery Service: it is stored in the user defaults with
    /// the others let go before the main loop's next pass, and not tried again while the host
    /// holds it connected without telling of one.
    void letGo(const std::shared_ptr<CBPeripheral>& peripheral);
    void tellDevicesUpdated() const;

    // A device with the serial it was added with (by which it is indexed).
    struct Listed {
        std::shared_ptr<LowEnergyDevice> device;
        std::string serial;
    };
    using Position = std::list<Listed>::iterator;
    void erase(Position position);

    std::list<Listed> devices_;
    // Where the devices of each serial are, in the order they were added.
    std::unordered_map<std::string, std::vector<Position>> bySerial_;
    std::shared_ptr<IIOKitController> ioKitController_;
    std::shared_ptr<CBCentralManager> manager_;
    std::deque<std::shared_ptr<CBPeripheral>> connectingPeripherals_;
    // How many of the connecting peripherals have each identifier.
    std::map<::UUID, std::size_t> connectingIdentifiers_;
    std::set<std::string> failedDevices_;
    // The peripherals let go for want of a Battery Service, with the last search that found them
    // held connected (a count of the searches).
    std::map<::UUID, std::uint64_t> letGo_;
    std::uint64_t searches_ = 0;
    // The identifiers let go since the last pass of the main loop, shared with the block that
    // stores them.
    std::shared_ptr<std::vector<std::string>> unstored_;
    double lastUpdate_;
    std::weak_ptr<LowEnergyDelegate> delegate_;
};

}  // namespace RuduredOro
