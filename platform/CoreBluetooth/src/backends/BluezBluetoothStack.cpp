#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "BluezObjects.hpp"
#include "IOKit/backends/BluetoothIdentity.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto probeTimeout = 2s;     // the bus daemon answers for itself
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

// Whether the device publishes Battery1 in place of a GATT Battery Service.
bool offersBatteryInterface(const bluez::Snapshot& snapshot, const bluez::Device& device) {
    if (!device.battery) return false;
    auto services = snapshot.servicesOf(device.path);
    return std::none_of(services.begin(), services.end(),
                        [](const bluez::GattService* service) { return service->uuid == batteryService; });
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

    std::unique_ptr<sdbus::IConnection> connection;
    std::thread loop;
    std::atomic<bool> stopping = false;

    std::mutex mutex;  // guards everything below
    std::string owner;  // BlueZ's unique name on the bus; empty while BlueZ is away
    bool loaded = false;  // objects have been read (or reading them failed)
    bool readable = true;  // the last reading of the objects did not fail
    bluez::Objects objects;
    bluez::Snapshot snapshot;
    CBManagerState state = CBManagerState::unknown;
    std::vector<std::weak_ptr<BluetoothStackObserver>> observers;
    std::map<UUID, Link> links;
    std::map<std::string, std::unique_ptr<sdbus::IProxy>> proxies;
    std::vector<sdbus::Slot> matches;

    ~Core() { stop(); }

    void start() {
        // Everything that waits for the bus happens here, on the stack's own thread.
        loop = std::thread([weak = weak_from_this(), connection = connection.get(), this] {
            try {
                subscribe(weak);
                fetchObjects();
            } catch (const sdbus::Error&) {
                failed();
            }
            if (stopping) return;
            try {
                connection->enterEventLoop();
            } catch (const sdbus::Error&) {
                // The bus itself went away: so did BlueZ, for this program.
                if (auto core = weak.lock()) core->lost();
            }
        });
    }

    void stop() {
        if (!loop.joinable()) return;
        stopping = true;
        connection->leaveEventLoop();
        if (loop.get_id() == std::this_thread::get_id()) {
            loop.detach();
        } else {
            loop.join();
        }
        std::lock_guard lock(mutex);
        matches.clear();
        proxies.clear();
    }

    sdbus::IProxy& proxy(const std::string& path) {
        auto& slot = proxies[path];
        if (!slot) slot = sdbus::createProxy(*connection, bluez::service, path);
        return *slot;
    }

    void subscribe(const std::weak_ptr<Core>& weak) {
        auto handler = [weak](void (Core::*member)(sdbus::Message&)) {
            return [weak, member](sdbus::Message& message) {
                auto core = weak.lock();
                if (!core) return;
                try {
                    ((*core).*member)(message);
                } catch (const sdbus::Error&) {
                    // A signal that does not read as documented is left alone.
                }
            };
        };
        auto nameOwner = connection->addMatch(
            "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
            "member='NameOwnerChanged',arg0='org.bluez'",
            handler(&Core::ownerChanged));
        auto objectManager = connection->addMatch(
            "type='signal',path='/',interface='org.freedesktop.DBus.ObjectManager'", handler(&Core::objectsChanged));
        auto properties = connection->addMatch(
            "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
            "path_namespace='/org/bluez'",
            handler(&Core::propertiesChanged));
        std::lock_guard lock(mutex);
        matches.push_back(std::move(nameOwner));
        matches.push_back(std::move(objectManager));
        matches.push_back(std::move(properties));
    }

    void fetchObjects() {
        std::unique_lock lock(mutex);
        auto& root = proxy("/");
        lock.unlock();
        root.callMethodAsync("GetManagedObjects")
            .onInterface(bluez::objectManagerInterface)
            .withTimeout(readTimeout)
            .uponReplyInvoke([weak = weak_from_this()](const sdbus::Error* error, const bluez::WireObjects& wire) {
                auto core = weak.lock();
                if (!core) return;
                if (error) return core->failed();
                {
                    std::lock_guard lock(core->mutex);
                    core->readable = true;
                }
                core->update([&](bluez::Objects& objects) { objects = bluez::objectsOf(wire); });
            });
    }

    // Reading BlueZ's objects failed: whatever it says, Bluetooth cannot be used.
    void failed() {
        {
            std::lock_guard lock(mutex);
            readable = false;
        }
        update([](bluez::Objects& objects) { objects.clear(); });
    }

    void lost() {
        {
            std::lock_guard lock(mutex);
            owner.clear();
        }
        update([](bluez::Objects& objects) { objects.clear(); });
    }

    bool fromBluez(const sdbus::Message& message) {
        std::lock_guard lock(mutex);
        return !owner.empty() && message.getSender() == owner;
    }

    void ownerChanged(sdbus::Message& message) {
        std::string name, previous, current;
        message >> name >> previous >> current;
        {
            std::lock_guard lock(mutex);
            owner = current;
        }
        // The objects of a BlueZ that left are gone (its pending calls end with errors); a BlueZ
        // that came is read afresh.
        update([](bluez::Objects& objects) { objects.clear(); });
        if (!current.empty()) fetchObjects();
    }

    void objectsChanged(sdbus::Message& message) {
        if (!fromBluez(message)) return;
        sdbus::ObjectPath path;
        if (message.getMemberName() == "InterfacesAdded") {
            bluez::WireInterfaces interfaces;
            message >> path >> interfaces;
            update([&](bluez::Objects& objects) { bluez::addInterfaces(objects, path, interfaces); });
        } else if (message.getMemberName() == "InterfacesRemoved") {
            std::vector<std::string> interfaces;
            message >> path >> interfaces;
            update([&](bluez::Objects& objects) { bluez::removeInterfaces(objects, path, interfaces); });
        }
    }

    void propertiesChanged(sdbus::Message& message) {
        if (!fromBluez(message)) return;
        std::string interface;
        bluez::WireProperties changed;
        std::vector<std::string> invalidated;
        message >> interface;
        // Characteristic values change with every notification, and nothing read here depends on them.
        if (interface == bluez::gattCharacteristicInterface) return;
        message >> changed >> invalidated;
        update([&](bluez::Objects& objects) {
            bluez::changeProperties(objects, message.getPath(), interface, changed, invalidated);
        });
    }

    static CBManagerState stateOf(const std::string& owner, const bluez::Snapshot& snapshot, bool readable) {
        if (owner.empty() || !readable) return CBManagerState::poweredOff;
        if (snapshot.adapters.empty()) return CBManagerState::unsupported;
        return snapshot.anyAdapterPowered() ? CBManagerState::poweredOn : CBManagerState::poweredOff;
    }

    // Changes the copy of BlueZ's objects, then tells the observers what that changed: the state
    // first, then every link to a peripheral that went down.
    template <class Change>
    void update(Change change) {
        std::optional<CBManagerState> newState;
        std::vector<UUID> lost;
        std::vector<std::weak_ptr<BluetoothStackObserver>> listeners;
        {
            std::lock_guard lock(mutex);
            change(objects);
            auto before = std::move(snapshot);
            snapshot = bluez::Snapshot::of(objects);
            loaded = true;
            auto now = stateOf(owner, snapshot, readable);
            if (now != state) newState = state = now;
            for (const auto& device : before.devices) {
                if (!device.connected) continue;
                const auto* after = snapshot.device(device.identifier);
                if (after && after->connected) continue;
                if (std::find(lost.begin(), lost.end(), device.identifier) == lost.end()) lost.push_back(device.identifier);
            }
            for (auto& [identifier, link] : links) {
                const auto* device = snapshot.device(identifier);
                if (!device || !device->connected) link.own = false;
            }
            std::erase_if(observers, [](const auto& observer) { return observer.expired(); });
            listeners = observers;
        }
        const CBError error{CBError::Code::peripheralDisconnected, "the peripheral disconnected"};
        for (const auto& weak : listeners) {
            auto observer = weak.lock();
            if (!observer) continue;
            if (newState) observer->stackDidUpdateState(*newState);
            for (const auto& identifier : lost) observer->stackDidLoseConnection(identifier, error);
        }
    }

    // Asks BlueZ to drop a link (the answer does not matter: the link is reported when it goes).
    void disconnect(const std::string& path) {
        try {
            std::unique_lock lock(mutex);
            auto& device = proxy(path);
            lock.unlock();
            device.callMethodAsync("Disconnect")
                .onInterface(bluez::deviceInterface)
                .withTimeout(connectTimeout)
                .uponReplyInvoke([](const sdbus::Error*) {});
        } catch (const sdbus::Error&) {
            // The bus is gone; so is the link.
        }
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
    try {
        core->connection = sdbus::createSystemBusConnection();
        auto daemon = sdbus::createProxy(*core->connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("GetNameOwner")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(probeTimeout)
            .withArguments(std::string(bluez::service))
            .storeResultsTo(core->owner);
    } catch (const sdbus::Error&) {
        return nullptr;  // no system bus, or no BlueZ on it
    }
    core->start();
    return std::shared_ptr<BluezBluetoothStack>(new BluezBluetoothStack(std::move(core)));
}

BluezBluetoothStack::BluezBluetoothStack(std::shared_ptr<Core> core) : core_(std::move(core)) {}

BluezBluetoothStack::~BluezBluetoothStack() { core_->stop(); }


void BluezBluetoothStack::addObserver(std::weak_ptr<BluetoothStackObserver> observer) {
    auto strong = observer.lock();
    if (!strong) return;
    CBManagerState state;
    bool known;
    {
        std::lock_guard lock(core_->mutex);
        core_->observers.push_back(observer);
        state = core_->state;
        known = core_->loaded;
    }
    if (known) strong->stackDidUpdateState(state);
}

std::vector<BluetoothPeripheralInfo> BluezBluetoothStack::connectedPeripherals(const std::vector<CBUUID>& services) {
    std::lock_guard lock(core_->mutex);
    const auto& snapshot = core_->snapshot;
    std::vector<BluetoothPeripheralInfo> found;
    std::set<UUID> listed;
    for (const auto& device : snapshot.devices) {
        if (!snapshot.isUsable(device) || !listed.insert(device.identifier).second) continue;
        auto gatt = snapshot.servicesOf(device.path);
        auto offered = [&](const CBUUID& uuid) {
            if (std::find(device.uuids.begin(), device.uuids.end(), uuid) != device.uuids.end()) return true;
            if (uuid == batteryService && device.battery) return true;
            return std::any_of(gatt.begin(), gatt.end(), [&](const bluez::GattService* service) { return service->uuid == uuid; });
        };
        if (std::any_of(services.begin(), services.end(), offered)) found.push_back({device.identifier, device.name});
    }
    return found;
}

void BluezBluetoothStack::connect(const UUID& peripheral, ConnectCompletion completion) {
    std::unique_lock lock(core_->mutex);
    const auto* device = core_->snapshot.device(peripheral);
    const auto* adapter = device ? core_->snapshot.adapter(device->adapter) : nullptr;
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
    auto& proxy = core_->proxy(path);
    lock.unlock();
    try {
        proxy.callMethodAsync("Connect")
            .onInterface(bluez::deviceInterface)
            .withTimeout(connectTimeout)
            .uponReplyInvoke([weak = std::weak_ptr<Core>(core_), peripheral, attempt, path,
                              completion](const sdbus::Error* error) {
                if (auto core = weak.lock()) {
                    core->connected(peripheral, attempt, path, error, completion);
                } else {
                    completion(CBError{CBError::Code::connectionFailed, "Bluetooth went away"});
                }
            });
    } catch (const sdbus::Error& error) {
        {
            std::lock_guard relock(core_->mutex);
            core_->links[peripheral].pending = false;
        }
        completion(busError(CBError::Code::connectionFailed, error));
    }
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
        const auto* device = core_->snapshot.device(peripheral);
        if (!device || !device->connected) return;
        path = device->path;
    }
    core_->disconnect(path);
}

void BluezBluetoothStack::discoverServices(const UUID& peripheral, const std::optional<std::vector<CBUUID>>& filter,
                                           AttributesCompletion completion) {
    std::optional<CBError> error;
    std::vector<BluetoothAttributeInfo> found;
    {
        std::lock_guard lock(core_->mutex);
        const auto& snapshot = core_->snapshot;
        const auto* device = snapshot.device(peripheral);
        if (!device || !snapshot.isUsable(*device)) {
            error = notConnected();
        } else {
            for (const auto* service : snapshot.servicesOf(device->path)) {
                if (wanted(filter, service->uuid)) found.push_back({service->path, service->uuid});
            }
            if (offersBatteryInterface(snapshot, *device) && wanted(filter, batteryService))
                found.push_back({device->path + batterySuffix, batteryService});
        }
    }
    if (error) return completion(*error);
    completion(std::move(found));
}

void BluezBluetoothStack::discoverCharacteristics(const UUID& peripheral, const std::string& service,
                                                  const std::optional<std::vector<CBUUID>>& filter,
                                                  AttributesCompletion completion) {
    std::optional<CBError> error;
    std::vector<BluetoothAttributeInfo> found;
    {
        std::lock_guard lock(core_->mutex);
        const auto& snapshot = core_->snapshot;
        const auto* device = snapshot.device(peripheral);
        if (!device || !snapshot.isUsable(*device)) {
            error = notConnected();
        } else if (service == device->path + batterySuffix) {
            if (!offersBatteryInterface(snapshot, *device)) {
                error = invalidHandle();
            } else if (wanted(filter, batteryLevel)) {
                found.push_back({device->path + levelSuffix, batteryLevel});
            }
        } else if (const auto* gatt = snapshot.service(service); !gatt || gatt->device != device->path) {
            error = invalidHandle();
        } else {
            for (const auto* characteristic : snapshot.characteristicsOf(service)) {
                if (wanted(filter, characteristic->uuid)) found.push_back({characteristic->path, characteristic->uuid});
            }
        }
    }
    if (error) return completion(*error);
    completion(std::move(found));
}

void BluezBluetoothStack::readValue(const UUID& peripheral, const std::string& characteristic,
                                    ValueCompletion completion) {
    std::unique_lock lock(core_->mutex);
    const auto& snapshot = core_->snapshot;
    const auto* device = snapshot.device(peripheral);
    if (!device || !snapshot.isUsable(*device)) {
        lock.unlock();
        return completion(notConnected());
    }
    const bool battery = characteristic == device->path + levelSuffix;
    bool valid;
    if (battery) {
        valid = offersBatteryInterface(snapshot, *device);
    } else {
        const auto* gatt = snapshot.characteristic(characteristic);
        const auto* owner = gatt ? snapshot.service(gatt->service) : nullptr;
        valid = owner && owner->device == device->path;
    }
    if (!valid) {
        lock.unlock();
        return completion(invalidHandle());
    }
    auto& proxy = core_->proxy(battery ? device->path : characteristic);
    lock.unlock();
    try {
        if (battery) {
            proxy.callMethodAsync("Get")
                .onInterface(bluez::propertiesInterface)
                .withTimeout(readTimeout)
                .withArguments(std::string(bluez::batteryInterface), std::string("Percentage"))
                .uponReplyInvoke([completion](const sdbus::Error* error, sdbus::Variant value) {
                    if (error) return completion(busError(CBError::Code::unknown, *error));
                    auto percentage = bluez::valueOf(value);
                    const auto* number = std::get_if<std::int64_t>(&percentage);
                    if (!number || *number < 0 || *number > 255)
                        return completion(CBError{CBError::Code::unknown, "Battery1 has no percentage"});
                    completion(Data{static_cast<std::uint8_t>(*number)});
                });
        } else {
            proxy.callMethodAsync("ReadValue")
                .onInterface(bluez::gattCharacteristicInterface)
                .withTimeout(readTimeout)
                .withArguments(std::map<std::string, sdbus::Variant>{})
                .uponReplyInvoke([completion](const sdbus::Error* error, const std::vector<std::uint8_t>& value) {
                    if (error) return completion(busError(CBError::Code::unknown, *error));
                    completion(Data(value.begin(), value.end()));
                });
        }
    } catch (const sdbus::Error& error) {
        completion(busError(CBError::Code::unknown, error));
    }
}
