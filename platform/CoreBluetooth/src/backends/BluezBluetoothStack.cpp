#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <set>

#include "Foundation/backends/BluezObjects.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto connectTimeout = 30s;  // a radio link may take its time
constexpr auto readTimeout = 10s;

const CBUUID batteryService("180F");
const CBUUID batteryLevel("2A19");

// BlueZ's battery plugin claims the Battery Service and publishes the level as Battery1
// "Percentage"; we offer that as a service and a characteristic of our own, whose handles cannot
// be object paths ('#' is not allowed in one).
constexpr const char* batterySuffix = "#Battery1";
constexpr const char* levelSuffix = "#Battery1/Level";

CBError notConnected() { return {CBError::Code::notConnected, "the peripheral is not connected"}; }
CBError invalidHandle() { return {CBError::Code::invalidHandle, "no such attribute on the peripheral"}; }
CBError busError(CBError::Code code, const sdbus::Error& error) {
    return {code, error.getName() + ": " + error.getMessage()};
}

bool wanted(const std::optional<std::vector<CBUUID>>& filter, const CBUUID& uuid) {
    return !filter || std::find(filter->begin(), filter->end(), uuid) != filter->end();
}

// Whether a UUID as BlueZ writes it is `uuid`.
bool is(const std::string& text, const CBUUID& uuid) { return CBUUID::fromString(text) == uuid; }

// Whether the device publishes Battery1 in place of a GATT Battery Service.
bool offersBatteryInterface(const bluez::Snapshot& snapshot, const bluez::Device& device) {
    if (!device.battery) return false;
    auto services = snapshot.servicesOf(device.path);
    return std::none_of(services.begin(), services.end(),
                        [](const bluez::GattService* service) { return is(service->uuid, batteryService); });
}

}  // namespace

struct BluezBluetoothStack::Core : std::enable_shared_from_this<Core> {
    // How this program stands with one peripheral's link.
    struct Link {
        std::uint64_t attempt = 0;  // counts connection requests
        bool pending = false;       // a Connect call awaits its answer
        bool cancelled = false;     // ... and the program gave it up meanwhile
        bool own = false;           // the link is up because this stack asked for it
    };

    BluezObjects& objects = BluezObjects::shared();
    std::shared_ptr<void> observation;

    std::mutex mutex;  // guards everything below; never held while BlueZ is called
    std::shared_ptr<const bluez::Snapshot> snapshot = std::make_shared<bluez::Snapshot>();
    CBManagerState state = CBManagerState::unknown;  // until BlueZ's objects are read (or found missing)
    std::vector<std::weak_ptr<BluetoothStackObserver>> observers;
    std::map<UUID, Link> links;

    // The copy's observers run one at a time: rebuilds never overlap, and the last one takes in
    // the newest snapshot.
    void start() {
        observation = objects.observe([weak = weak_from_this()] {
            if (auto core = weak.lock()) core->rebuild();
        });
    }

    std::shared_ptr<const bluez::Snapshot> current() {
        std::lock_guard lock(mutex);
        return snapshot;
    }

    static CBManagerState stateOf(const bluez::Snapshot& snapshot) {
        switch (snapshot.presence) {
        case bluez::Presence::unknown: return CBManagerState::unknown;
        case bluez::Presence::absent:
        case bluez::Presence::unreadable: return CBManagerState::poweredOff;
        case bluez::Presence::present: break;
        }
        if (snapshot.adapters.empty()) return CBManagerState::unsupported;
        return snapshot.anyAdapterPowered() ? CBManagerState::poweredOn : CBManagerState::poweredOff;
    }

    // Takes in the snapshot of BlueZ's objects as it is now, then tells the observers what that
    // changed: every link to a peripheral that went down, then the state (so that peripherals of
    // a BlueZ that went away are seen to go before Bluetooth is seen off).
    void rebuild() {
        auto next = objects.snapshot();
        std::optional<CBManagerState> newState;
        std::vector<UUID> lost;
        std::vector<std::weak_ptr<BluetoothStackObserver>> listeners;
        {
            std::lock_guard lock(mutex);
            for (const auto& device : snapshot->devices) {
                if (!device.connected) continue;
                const auto* after = next->device(device.identifier);
                if (after && after->connected) continue;
                if (std::find(lost.begin(), lost.end(), device.identifier) == lost.end()) lost.push_back(device.identifier);
            }
            for (auto& [identifier, link] : links) {
                const auto* device = next->device(identifier);
                if (!device || !device->connected) link.own = false;
            }
            snapshot = std::move(next);
            auto now = stateOf(*snapshot);
            if (now != state) newState = state = now;
            std::erase_if(observers, [](const auto& observer) { return observer.expired(); });
            listeners = observers;
        }
        const CBError error{CBError::Code::peripheralDisconnected, "the peripheral disconnected"};
        for (const auto& weak : listeners) {
            auto observer = weak.lock();
            if (!observer) continue;
            for (const auto& identifier : lost) observer->stackDidLoseConnection(identifier, error);
            if (newState) observer->stackDidUpdateState(*newState);
        }
    }

    // Asks BlueZ to drop a link (the answer does not matter: the link is reported when it goes).
    void disconnect(const std::string& path) {
        objects.call(path, bluez::deviceInterface, "Disconnect", {}, connectTimeout,
                     [](sdbus::MethodReply*, const sdbus::Error*) { return std::function<void()>(); });
    }

    void connected(const UUID& identifier, std::uint64_t attempt, const std::string& path, const sdbus::Error* error,
                   const ConnectCompletion& completion) {
        // BlueZ answers AlreadyConnected when the system brought the link up meanwhile.
        const bool up = !error || error->getName() == "org.bluez.Error.AlreadyConnected";
        bool giveUp = false;
        {
            std::lock_guard lock(mutex);
            auto& link = links[identifier];
            if (link.attempt == attempt) {
                link.pending = false;
                if (up && !error) link.own = !link.cancelled;
                giveUp = !error && link.cancelled;
            } else if (!error) {
                link.own = true;  // a later request waits for the same link
            }
        }
        if (giveUp) disconnect(path);
        if (up) {
            completion(std::nullopt);
        } else {
            completion(busError(CBError::Code::connectionFailed, *error));
        }
    }
};

std::shared_ptr<BluezBluetoothStack> BluezBluetoothStack::make() {
    auto core = std::make_shared<Core>();
    core->start();
    return std::shared_ptr<BluezBluetoothStack>(new BluezBluetoothStack(std::move(core)));
}

BluezBluetoothStack::BluezBluetoothStack(std::shared_ptr<Core> core) : core_(std::move(core)) {}

BluezBluetoothStack::~BluezBluetoothStack() { core_->observation.reset(); }

void BluezBluetoothStack::addObserver(std::weak_ptr<BluetoothStackObserver> observer) {
    auto strong = observer.lock();
    if (!strong) return;
    CBManagerState state;
    {
        std::lock_guard lock(core_->mutex);
        core_->observers.push_back(observer);
        state = core_->state;
    }
    if (state != CBManagerState::unknown) strong->stackDidUpdateState(state);
}

std::vector<BluetoothPeripheralInfo> BluezBluetoothStack::connectedPeripherals(const std::vector<CBUUID>& services) {
    const auto snapshot = core_->current();
    std::vector<BluetoothPeripheralInfo> found;
    // A peripheral is known to each adapter: with several, it is listed once.
    const bool severalAdapters = snapshot->adapters.size() > 1;
    std::set<UUID> listed;
    for (const auto& device : snapshot->devices) {
        if (!snapshot->isUsable(device) || (severalAdapters && !listed.insert(device.identifier).second)) continue;
        auto gatt = snapshot->servicesOf(device.path);
        auto offered = [&](const CBUUID& uuid) {
            if (device.offers(UUID(uuid.bytes()))) return true;
            if (uuid == batteryService && device.battery) return true;
            return std::any_of(gatt.begin(), gatt.end(), [&](const bluez::GattService* service) { return is(service->uuid, uuid); });
        };
        if (std::any_of(services.begin(), services.end(), offered)) found.push_back({device.identifier, device.name});
    }
    return found;
}

void BluezBluetoothStack::connect(const UUID& peripheral, ConnectCompletion completion) {
    std::unique_lock lock(core_->mutex);
    const auto snapshot = core_->snapshot;
    const auto* device = snapshot->device(peripheral);
    const auto* adapter = device ? snapshot->adapter(device->adapter) : nullptr;
    if (!adapter || !adapter->powered) {
        lock.unlock();
        return completion(notConnected());
    }
    if (device->connected) {
        // The system holds it connected: nothing to ask of BlueZ.
        lock.unlock();
        return completion(std::nullopt);
    }
    const auto path = device->path;
    auto& link = core_->links[peripheral];
    const auto attempt = ++link.attempt;
    link.pending = true;
    link.cancelled = false;
    lock.unlock();
    core_->objects.call(path, bluez::deviceInterface, "Connect", {}, connectTimeout,
                        [weak = std::weak_ptr<Core>(core_), peripheral, attempt, path,
                         completion](sdbus::MethodReply*, const sdbus::Error* error) -> std::function<void()> {
                            std::optional<sdbus::Error> failure;
                            if (error) failure = *error;
                            return [weak, peripheral, attempt, path, completion, failure] {
                                if (auto core = weak.lock()) {
                                    core->connected(peripheral, attempt, path, failure ? &*failure : nullptr, completion);
                                } else {
                                    completion(CBError{CBError::Code::connectionFailed, "Bluetooth went away"});
                                }
                            };
                        });
}

void BluezBluetoothStack::cancelConnection(const UUID& peripheral) {
    std::string path;
    {
        std::lock_guard lock(core_->mutex);
        auto found = core_->links.find(peripheral);
        if (found == core_->links.end()) return;
        auto& link = found->second;
        if (link.pending) {
            link.cancelled = true;  // the answer to Connect drops the link
            return;
        }
        if (!link.own) return;  // the system's link stays up
        link.own = false;
        const auto* device = core_->snapshot->device(peripheral);
        if (!device || !device->connected) return;
        path = device->path;
    }
    core_->disconnect(path);
}

void BluezBluetoothStack::discoverServices(const UUID& peripheral, const std::optional<std::vector<CBUUID>>& filter,
                                           AttributesCompletion completion) {
    const auto snapshot = core_->current();
    const auto* device = snapshot->device(peripheral);
    if (!device || !snapshot->isUsable(*device)) return completion(notConnected());
    std::vector<BluetoothAttributeInfo> found;
    for (const auto* service : snapshot->servicesOf(device->path)) {
        auto uuid = CBUUID::fromString(service->uuid);
        if (uuid && wanted(filter, *uuid)) found.push_back({service->path, *uuid});
    }
    if (offersBatteryInterface(*snapshot, *device) && wanted(filter, batteryService))
        found.push_back({device->path + batterySuffix, batteryService});
    completion(std::move(found));
}

void BluezBluetoothStack::discoverCharacteristics(const UUID& peripheral, const std::string& service,
                                                  const std::optional<std::vector<CBUUID>>& filter,
                                                  AttributesCompletion completion) {
    const auto snapshot = core_->current();
    const auto* device = snapshot->device(peripheral);
    if (!device || !snapshot->isUsable(*device)) return completion(notConnected());
    std::vector<BluetoothAttributeInfo> found;
    if (service == device->path + batterySuffix) {
        if (!offersBatteryInterface(*snapshot, *device)) return completion(invalidHandle());
        if (wanted(filter, batteryLevel)) found.push_back({device->path + levelSuffix, batteryLevel});
        return completion(std::move(found));
    }
    const auto* gatt = snapshot->service(service);
    if (!gatt || gatt->device != device->path) return completion(invalidHandle());
    for (const auto* characteristic : snapshot->characteristicsOf(service)) {
        auto uuid = CBUUID::fromString(characteristic->uuid);
        if (uuid && wanted(filter, *uuid)) found.push_back({characteristic->path, *uuid});
    }
    completion(std::move(found));
}

void BluezBluetoothStack::readValue(const UUID& peripheral, const std::string& characteristic,
                                    ValueCompletion completion) {
    const auto snapshot = core_->current();
    const auto* device = snapshot->device(peripheral);
    if (!device || !snapshot->isUsable(*device)) return completion(notConnected());
    if (characteristic == device->path + levelSuffix) {
        // BlueZ signals every change of the percentage: the copy of its objects has it already.
        if (!offersBatteryInterface(*snapshot, *device)) return completion(invalidHandle());
        return completion(Data{*device->battery});
    }
    const auto* gatt = snapshot->characteristic(characteristic);
    const auto* owner = gatt ? snapshot->service(gatt->service) : nullptr;
    if (!owner || owner->device != device->path) return completion(invalidHandle());
    core_->objects.call(
        characteristic, bluez::gattCharacteristicInterface, "ReadValue",
        [](sdbus::MethodCall& call) { call << std::map<std::string, sdbus::Variant>{}; }, readTimeout,
        [completion](sdbus::MethodReply* reply, const sdbus::Error* error) -> std::function<void()> {
            BluetoothResult<Data> result = Data();
            if (error) {
                result = busError(CBError::Code::unknown, *error);
            } else {
                std::vector<std::uint8_t> value;
                *reply >> value;  // an answer that does not read so comes back as an error
                result = Data(value.begin(), value.end());
            }
            return [completion, result] { completion(result); };
        });
}
