#include "Foundation/backends/BluezObjects.hpp"

#include <utility>

#include "Foundation/SystemLog.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto answerTimeout = 10s;   // BlueZ answers from memory; one silent this long is given up on
constexpr double retryPause = 10;     // seconds before a BlueZ that did not give its objects is asked again

std::string systemBusAddress() { return DBusConnection::address(DBusConnection::Bus::system); }

}  // namespace

BluezObjects& BluezObjects::shared() {
    static auto* objects = new BluezObjects();  // lives as long as the process
    return *objects;
}

BluezObjects::BluezObjects() : queue_("BluezObjects") {
    BusService::Client client;
    client.heard = [this](const std::string& address) { address_ = address; };
    client.joined = [this](const std::string& owner) { ownerIs(owner, true); };
    client.ownerChanged = [this](const std::string& owner) { ownerIs(owner, false); };
    client.left = [this] {
        owner_.clear();
        objects_.clear();
        ++reads_;
        presence_ = bluez::Presence::absent;
        changed(true);
    };
    // Only BlueZ's signals reach the connection: the bus matches the rules' sender against the
    // name's owner. A signal that another client sends to this connection alone passes no rule
    // there; the service leaves it unread here, as it does any before BlueZ's owner is known.
    client.ownersSignalsOnly = true;
    auto reader = [this](sdbus::Message& message) -> std::function<void()> {
        bluez::Change change;
        try {
            change = bluez::readChange(bluez::wireOf(message));
        } catch (const sdbus::Error& error) {
            misread(message.getMemberName(), error);
            return {};
        }
        if (std::holds_alternative<std::monostate>(change)) return {};
        // Characteristic values change with every notification, and nothing that watches
        // depends on them.
        const auto* properties = std::get_if<bluez::PropertiesChanged>(&change);
        const bool tell = !properties || properties->interface != bluez::gattCharacteristicInterface;
        return [this, tell, change = std::move(change)]() mutable {
            bluez::apply(objects_, std::move(change));
            changed(tell);
        };
    };
    const std::string fromBluez = std::string("type='signal',sender='") + bluez::service + "',";
    client.matches.emplace_back(fromBluez + "path='/',interface='" + bluez::objectManagerInterface + "'", reader);
    client.matches.emplace_back(
        fromBluez + "interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',path_namespace='/org/bluez'",
        reader);
    bus_ = BusService::make(BusService::Bus::system, bluez::service, queue_, std::move(client));
}

void BluezObjects::ownerIs(const std::string& owner, bool joined) {
    if (owner == owner_ && !joined) return;
    // The objects of a BlueZ that left are gone (its pending calls end with errors); a BlueZ that
    // came is read afresh.
    owner_ = owner;
    objects_.clear();
    ++reads_;
    presence_ = owner.empty() ? bluez::Presence::absent : bluez::Presence::unknown;
    changed(true);
    readObjects();
}

void BluezObjects::readObjects() {
    if (owner_.empty()) return;
    const auto read = ++reads_;
    bus_->call({"/", bluez::objectManagerInterface, "GetManagedObjects", {}, answerTimeout, owner_},
               [this, read](sdbus::MethodReply* reply, const sdbus::Error*) -> std::function<void()> {
                   bluez::Objects objects;
                   bool failed = !reply;
                   try {
                       if (reply) objects = bluez::readObjects(bluez::wireOf(*reply));
                   } catch (const sdbus::Error& error) {
                       misread("GetManagedObjects", error);
                       failed = true;
                   }
                   return [this, read, failed, objects = std::move(objects)]() mutable {
                       if (read != reads_) return;  // asked of a BlueZ that has left since
                       objects_ = std::move(objects);
                       presence_ = failed ? bluez::Presence::unreadable : bluez::Presence::present;
                       changed(true);
                       if (!failed) return;
                       queue_.asyncAfter(retryPause, [this, read] {
                           if (read == reads_) readObjects();
                       });
                   };
               });
}

void BluezObjects::misread(const std::string& member, const sdbus::Error& error) {
    {
        std::lock_guard lock(mutex_);
        if (!misread_.insert(member).second) return;
    }
    SystemLog::write("BlueZ's " + member + " was left unread: " + error.getMessage() + ". Others of " + member +
                     " that do not read are left unread too, without a word.");
}

void BluezObjects::changed(bool tell) {
    tell_ = tell_ || tell;
    if (publishing_) return;
    // Made after the changes queued meanwhile: a burst of signals makes one snapshot.
    publishing_ = true;
    queue_.async([this] { publish(); });
}

void BluezObjects::publish() {
    publishing_ = false;
    auto made = std::make_shared<const bluez::Snapshot>(bluez::Snapshot::of(presence_, objects_));
    std::vector<std::shared_ptr<std::function<void()>>> told;
    {
        std::lock_guard lock(mutex_);
        snapshot_ = std::move(made);
        snapshotAddress_ = address_;
        if (tell_) {
            std::erase_if(observers_, [](const auto& observer) { return observer.expired(); });
            for (const auto& observer : observers_) {
                if (auto live = observer.lock()) told.push_back(std::move(live));
            }
        }
    }
    tell_ = false;
    for (const auto& observer : told) (*observer)();
}

std::shared_ptr<const bluez::Snapshot> BluezObjects::snapshot() const {
    {
        std::lock_guard lock(mutex_);
        if (snapshotAddress_ == systemBusAddress()) return snapshot_;
    }
    // Another bus is named now: what is known is of the one before, until the new one is heard of.
    bus_->followAddress();
    return std::make_shared<const bluez::Snapshot>();
}

std::shared_ptr<void> BluezObjects::observe(std::function<void()> changed) {
    auto token = std::make_shared<std::function<void()>>(std::move(changed));
    // A round trip to the bus comes back after everything the bus sent before it: the observer
    // first hears of the objects once what BlueZ said until now is taken in, and not before.
    bus_->call({"/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping", {}, answerTimeout, "org.freedesktop.DBus"},
               [this, weak = std::weak_ptr<std::function<void()>>(token)](sdbus::MethodReply*, const sdbus::Error*) {
                   return [this, weak] {
                       // After the snapshot that the changes taken in so far are making.
                       queue_.async([this, weak] {
                           auto observer = weak.lock();
                           if (!observer) return;
                           {
                               std::lock_guard lock(mutex_);
                               observers_.push_back(weak);
                           }
                           (*observer)();
                       });
                   };
               });
    return token;
}

void BluezObjects::call(const std::string& path, const std::string& interface, const std::string& method,
                        std::function<void(sdbus::MethodCall&)> arguments, std::chrono::microseconds timeout,
                        BusService::ReplyReader reader) {
    // An answer is handed on once the snapshot shows what BlueZ signalled before it: a link that
    // Connect brought up is seen up.
    auto handedOn = [this, reader = std::move(reader)](sdbus::MethodReply* reply, const sdbus::Error* error) {
        auto then = reader(reply, error);
        return std::function<void()>([this, then] {
            if (!then) return;
            if (publishing_) return queue_.async(then);
            then();
        });
    };
    queue_.async([this, path, interface, method, arguments = std::move(arguments), timeout, handedOn] {
        if (!owner_.empty()) return bus_->call({path, interface, method, arguments, timeout, owner_}, handedOn);
        const sdbus::Error error("org.freedesktop.DBus.Error.ServiceUnknown", "BlueZ is not on the system bus");
        handedOn(nullptr, &error)();
    });
}
