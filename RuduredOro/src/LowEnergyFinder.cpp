#include "RuduredOro/LowEnergyFinder.hpp"

#include <algorithm>

#include "Foundation/DispatchQueue.hpp"
#include "RarAvi/Devices.hpp"
#include "RuduredOro/LowEnergyPersistency.hpp"
#include "RuduredOro/Manufacturers.hpp"
#include "RuduredOro/UUID.hpp"
#include "ZuzeDiv/DateExtensions.hpp"

namespace RuduredOro {

namespace {

/// How long a device may go unheard before it is dropped, in seconds.
constexpr double staleAfter = 5.0;
/// The least time between two notices of new values, in seconds.
constexpr double noticeInterval = 1.0;

double now() { return ZuzeDiv::currentTimestamp(); }

std::string identifierText(const CBPeripheral& peripheral) { return peripheral.identifier().uuidString(); }

std::vector<CBUUID> monitoredServices() { return {UUID::batteryService(), UUID::deviceInformation()}; }

/// The bytes as UTF-8 text; empty when they are not valid UTF-8.
std::optional<std::string> utf8Text(const Data& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint8_t lead = bytes[i];
        std::size_t length;
        std::uint32_t codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > bytes.size()) return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            std::uint8_t next = bytes[i + k];
            if ((next & 0xC0) != 0x80) return std::nullopt;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are no UTF-8.
        if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
            return std::nullopt;
        i += length;
    }
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::shared_ptr<LowEnergyFinder> LowEnergyFinder::make() {
    std::shared_ptr<LowEnergyFinder> finder(new LowEnergyFinder());
    finder->manager_->setDelegate(std::static_pointer_cast<CBCentralManagerDelegate>(finder));
    return finder;
}

LowEnergyFinder::LowEnergyFinder()
    : ioKitController_(std::make_shared<IOKitController>()), manager_(CBCentralManager::make()), lastUpdate_(now()) {}

bool LowEnergyFinder::isPoweredOn() const { return manager_->state() == CBManagerState::poweredOn; }

std::vector<std::shared_ptr<LowEnergyDevice>> LowEnergyFinder::devices() const {
    std::vector<std::shared_ptr<LowEnergyDevice>> list;
    list.reserve(devices_.size());
    for (const auto& listed : devices_) list.push_back(listed.device);
    return list;
}

// Finding and connecting.

void LowEnergyFinder::refresh() {
    find();
    auto current = devices();
    for (const auto& device : current) {
        const auto& peripheral = device->peripheral();
        if (!peripheral || peripheral->state() != CBPeripheralState::connected || !peripheral->services()) continue;
        // The services list may change while we walk it only through a later callback; a copy
        // keeps the walk safe all the same.
        auto services = *peripheral->services();
        for (const auto& service : services) {
            if (service->uuid() == UUID::batteryService()) {
                peripheral->discoverCharacteristics(std::nullopt, service);
            } else if (service->uuid() == UUID::deviceInformation() && !device->manufacturer() && !device->model()) {
                peripheral->discoverCharacteristics(std::nullopt, service);
            }
        }
    }
    removeStaleDevices();
}

void LowEnergyFinder::find() {
    auto peripherals = manager_->retrieveConnectedPeripherals(monitoredServices());
    // A peripheral let go for want of a Battery Service is tried again once the host tells of one.
    std::vector<::UUID> offeringBattery;
    if (!letGo_.empty()) {
        for (const auto& peripheral : manager_->retrieveConnectedPeripherals({UUID::batteryService()}))
            offeringBattery.push_back(peripheral->identifier());
        std::sort(offeringBattery.begin(), offeringBattery.end());
    }
    const auto search = ++searches_;
    for (const auto& peripheral : peripherals) {
        if (manager_->state() != CBManagerState::poweredOn) return;
        auto held = letGo_.find(peripheral->identifier());
        if (held != letGo_.end() &&
            !std::binary_search(offeringBattery.begin(), offeringBattery.end(), peripheral->identifier())) {
            held->second = search;
            continue;
        }
        if (device(peripheral)) continue;
        add(std::make_shared<LowEnergyDevice>(peripheral));
        connect(peripheral);
    }
    // ... and once the host no longer holds it connected.
    std::erase_if(letGo_, [search](const auto& entry) { return entry.second != search; });
}

void LowEnergyFinder::connect(const std::shared_ptr<CBPeripheral>& peripheral) {
    if (connectingIdentifiers_.contains(peripheral->identifier())) return;
    if (peripheral->state() != CBPeripheralState::disconnected) return;
    peripheral->setDelegate(std::static_pointer_cast<CBPeripheralDelegate>(shared_from_this()));
    connectingPeripherals_.push_back(peripheral);
    ++connectingIdentifiers_[peripheral->identifier()];
    manager_->connect(peripheral);
}

void LowEnergyFinder::connect(const std::shared_ptr<LowEnergyDevice>& device) {
    const auto& peripheral = device->peripheral();
    if (!peripheral) return;
    if (std::find(connectingPeripherals_.begin(), connectingPeripherals_.end(), peripheral) != connectingPeripherals_.end())
        return;
    if (failedDevices_.contains(identifierText(*peripheral))) return;
    connect(peripheral);
}

void LowEnergyFinder::disconnect(const std::shared_ptr<LowEnergyDevice>& device) {
    auto peripheral = device->peripheral();
    if (!peripheral) return;
    manager_->cancelPeripheralConnection(peripheral);
    removeDevices(peripheral);
    tellDevicesUpdated();
}

void LowEnergyFinder::disconnectAll() {
    auto current = devices();
    for (const auto& device : current) {
        auto peripheral = device->peripheral();
        if (!peripheral) continue;
        manager_->cancelPeripheralConnection(peripheral);
        removeDevices(peripheral);
        tellDevicesUpdated();
    }
    forgetConnecting();
    failedDevices_.clear();
    letGo_.clear();
    dropDevices([](const auto&) { return true; });
}

void LowEnergyFinder::removeStaleDevices() {
    const double time = now();
    dropDevices([time](const auto& device) { return time - device->lastUpdate() > staleAfter; });
    tellDevicesUpdated();
}

// Central manager callbacks.

void LowEnergyFinder::centralManagerDidUpdateState(CBCentralManager& central) {
    // Once Bluetooth leaves the powered-on state, the manager gives up every connection still
    // being made without a word. Forgetting them here lets the same peripherals connect again
    // when Bluetooth is back; so may those let go for want of a Battery Service.
    if (central.state() != CBManagerState::poweredOn) {
        forgetConnecting();
        letGo_.clear();
    }
    if (auto delegate = this->delegate()) delegate->didUpdateState(rawValue(central.state()));
}

void LowEnergyFinder::centralManagerDidConnect(CBCentralManager& /*central*/,
                                               const std::shared_ptr<CBPeripheral>& peripheral) {
    // The attempt is over whatever follows, so that a later refresh may connect again.
    stopConnecting(peripheral);
    auto device = this->device(peripheral);
    if (!device) {
        // Its device went stale while the connection was being made: nobody wants this
        // connection. Giving it up leaves the peripheral disconnected, so that the next refresh
        // makes a new device and connects it afresh.
        manager_->cancelPeripheralConnection(peripheral);
        return;
    }
    device->setLastUpdate(now());
    device->setSerial(identifierText(*peripheral));
    device->setIsConnected(true);
    device->setIsDiscovered(false);
    if (ioKitController_) {
        if (auto properties = ioKitController_->deviceProperties(identifierText(*peripheral))) {
            device->setIsMouse(properties->primaryUsage == 2);
            device->setIsKeyboard(properties->primaryUsage == 6);
        }
    }
    peripheral->discoverServices(monitoredServices());
    tellDevicesUpdated();
}

void LowEnergyFinder::centralManagerDidFailToConnect(CBCentralManager& /*central*/,
                                                     const std::shared_ptr<CBPeripheral>& peripheral,
                                                     const std::optional<CBError>& /*error*/) {
    stopConnecting(peripheral);
    failedDevices_.insert(identifierText(*peripheral));
}

void LowEnergyFinder::centralManagerDidDisconnectPeripheral(CBCentralManager& /*central*/,
                                                            const std::shared_ptr<CBPeripheral>& peripheral,
                                                            const std::optional<CBError>& /*error*/) {
    // A cancelled attempt ends here too; it must not keep the peripheral from connecting again.
    stopConnecting(peripheral);
    if (auto found = device(peripheral)) dropDevice(found);
    tellDevicesUpdated();
}

void LowEnergyFinder::centralManagerDidDiscover(CBCentralManager& /*central*/,
                                                const std::shared_ptr<CBPeripheral>& peripheral,
                                                const CBAdvertisementData& advertisementData, int /*rssi*/) {
    auto serial = identifierText(*peripheral);
    if (auto known = device(peripheral)) {
        known->setLastUpdate(now());
        return;
    }
    auto ignored = LowEnergyPersistency::noBatteryServiceDevices();
    if (std::find(ignored.begin(), ignored.end(), serial) != ignored.end()) return;
    if (peripheral->state() != CBPeripheralState::disconnected) return;
    auto connectable = advertisementData.find(CBAdvertisementDataIsConnectable);
    if (connectable == advertisementData.end() || connectable->second.numberValue() != 1.0) return;

    auto device = std::make_shared<LowEnergyDevice>(peripheral);
    device->setIsConnected(false);
    device->setIsDiscovered(true);
    auto makerData = advertisementData.find(CBAdvertisementDataManufacturerDataKey);
    if (makerData != advertisementData.end()) {
        const auto* bytes = makerData->second.dataValue();
        if (bytes && bytes->size() > 1) {
            auto company = static_cast<std::uint16_t>((*bytes)[0] | ((*bytes)[1] << 8));
            auto known = Manufacturers::names().find(company);
            if (known != Manufacturers::names().end()) device->setManufacturer(known->second);
        }
    }
    device->setName(peripheral->name().value_or(""));
    if (device->name().empty() && device->manufacturer().value_or("").empty()) return;

    add(device);
    if (LowEnergyPersistency::isMonitored(serial)) connect(device);
    tellDevicesUpdated();
}

void LowEnergyFinder::centralManagerWillRestoreState(CBCentralManager& /*central*/,
                                                     const std::map<std::string, PropertyListValue>& /*state*/) {}

// Peripheral callbacks: services, characteristics and their values.

void LowEnergyFinder::peripheralDidDiscoverServices(const std::shared_ptr<CBPeripheral>& peripheral,
                                                    const std::optional<CBError>& /*error*/) {
    if (auto device = this->device(peripheral)) device->setLastUpdate(now());
    if (!peripheral->services()) return;
    auto services = *peripheral->services();
    bool hasBatteryService = std::any_of(services.begin(), services.end(),
                                         [](const auto& service) { return service->uuid() == UUID::batteryService(); });
    if (hasBatteryService) {
        for (const auto& service : services) peripheral->discoverCharacteristics(std::nullopt, service);
        return;
    }
    letGo(peripheral);
    manager_->cancelPeripheralConnection(peripheral);
    removeDevices(peripheral);
}

void LowEnergyFinder::peripheralDidDiscoverCharacteristicsFor(const std::shared_ptr<CBPeripheral>& peripheral,
                                                              const std::shared_ptr<CBService>& service,
                                                              const std::optional<CBError>& /*error*/) {
    if (!service->characteristics()) return;
    auto characteristics = *service->characteristics();
    for (const auto& characteristic : characteristics) peripheral->readValue(characteristic);
}

void LowEnergyFinder::peripheralDidUpdateValueFor(const std::shared_ptr<CBPeripheral>& peripheral,
                                                  const std::shared_ptr<CBCharacteristic>& characteristic,
                                                  const std::optional<CBError>& /*error*/) {
    if (!characteristic->value()) return;
    auto device = this->device(peripheral);
    if (!device) return;
    const Data& value = *characteristic->value();
    const double time = now();
    device->setLastUpdate(time);

    const auto& uuid = characteristic->uuid();
    if (uuid == UUID::batteryLevel()) {
        // An empty value tells no level: it is not 0 %, and it leaves a level already read as it was.
        if (!value.empty()) device->setBatteryLevel(std::min<std::uint8_t>(value[0], 100));
    } else if (uuid == UUID::modelNumber()) {
        if (auto text = utf8Text(value)) {
            if (auto model = RarAvi::Devices::device(*text)) {
                device->setInternalName(*text);
                device->setName(model->name());
                device->setModel(model->name());
            } else {
                device->setName(*text);
                device->setModel(*text);
            }
        }
    } else if (uuid == UUID::hardwareRevision()) {
        device->setHardwareRevision(utf8Text(value));
    } else if (uuid == UUID::firmwareRevision()) {
        device->setFirmwareRevision(utf8Text(value));
    } else if (uuid == UUID::manufacturerName()) {
        device->setManufacturer(utf8Text(value));
    } else if (uuid == UUID::serialNumber()) {
        device->setSerialNumber(utf8Text(value));
    } else if (uuid == UUID::softwareRevision()) {
        device->setSoftwareRevision(utf8Text(value));
    }

    if (time - lastUpdate_ > noticeInterval) {
        tellDevicesUpdated();
        lastUpdate_ = time;
    }
}

void LowEnergyFinder::peripheralDidModifyServices(const std::shared_ptr<CBPeripheral>& /*peripheral*/,
                                                  const std::vector<std::shared_ptr<CBService>>& /*invalidatedServices*/) {}

// Helpers.

std::shared_ptr<LowEnergyDevice> LowEnergyFinder::device(const std::shared_ptr<CBPeripheral>& peripheral) const {
    auto found = bySerial_.find(identifierText(*peripheral));
    return found == bySerial_.end() ? nullptr : found->second.front()->device;
}

void LowEnergyFinder::add(std::shared_ptr<LowEnergyDevice> device) {
    auto serial = device->serial();
    devices_.push_back({std::move(device), serial});
    bySerial_[serial].push_back(std::prev(devices_.end()));
}

void LowEnergyFinder::erase(Position position) {
    auto entry = bySerial_.find(position->serial);
    std::erase(entry->second, position);
    if (entry->second.empty()) bySerial_.erase(entry);
    devices_.erase(position);
}

template <class Predicate>
void LowEnergyFinder::dropDevices(Predicate matches) {
    for (auto position = devices_.begin(); position != devices_.end();) {
        auto next = std::next(position);
        if (matches(position->device)) erase(position);
        position = next;
    }
}

void LowEnergyFinder::dropDevice(const std::shared_ptr<LowEnergyDevice>& device) {
    auto entry = bySerial_.find(device->serial());
    if (entry != bySerial_.end()) {
        for (auto position : entry->second) {
            if (position->device == device) return erase(position);
        }
    }
    // Its serial changed after it was added.
    dropDevices([&](const auto& other) { return other == device; });
}

void LowEnergyFinder::removeDevices(const std::shared_ptr<CBPeripheral>& peripheral) {
    // A device is added with its peripheral's identifier text as serial.
    auto entry = bySerial_.find(identifierText(*peripheral));
    if (entry == bySerial_.end()) return;
    auto positions = entry->second;
    for (auto position : positions) {
        const auto& held = position->device->peripheral();
        if (held && held->identifier() == peripheral->identifier()) erase(position);
    }
}

void LowEnergyFinder::stopConnecting(const std::shared_ptr<CBPeripheral>& peripheral) {
    auto found = std::find(connectingPeripherals_.begin(), connectingPeripherals_.end(), peripheral);
    if (found == connectingPeripherals_.end()) return;
    auto counted = connectingIdentifiers_.find((*found)->identifier());
    if (counted != connectingIdentifiers_.end() && --counted->second == 0) connectingIdentifiers_.erase(counted);
    connectingPeripherals_.erase(found);
}

void LowEnergyFinder::forgetConnecting() {
    connectingPeripherals_.clear();
    connectingIdentifiers_.clear();
}

void LowEnergyFinder::letGo(const std::shared_ptr<CBPeripheral>& peripheral) {
    letGo_[peripheral->identifier()] = searches_;
    if (!unstored_) {
        unstored_ = std::make_shared<std::vector<std::string>>();
        DispatchQueue::main().async([weak = weak_from_this(), unstored = unstored_] {
            if (auto finder = weak.lock()) finder->unstored_.reset();
            LowEnergyPersistency::addNoBatteryServiceDevices(*unstored);
        });
    }
    unstored_->push_back(identifierText(*peripheral));
}

void LowEnergyFinder::tellDevicesUpdated() const {
    if (auto delegate = this->delegate()) delegate->didUpdateDevices();
}

}  // namespace RuduredOro
