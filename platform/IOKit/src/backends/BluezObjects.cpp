#include "IOKit/backends/BluezObjects.hpp"

#include <cstdlib>
#include <utility>

#include "Foundation/backends/DBusConnection.hpp"

namespace bluez {

Value valueOf(const sdbus::Variant& variant) {
    try {
        const auto type = variant.peekValueType();
        if (type == "b") return variant.get<bool>();
        if (type == "y") return std::int64_t{variant.get<std::uint8_t>()};
        if (type == "n") return std::int64_t{variant.get<std::int16_t>()};
        if (type == "q") return std::int64_t{variant.get<std::uint16_t>()};
        if (type == "i") return std::int64_t{variant.get<std::int32_t>()};
        if (type == "u") return std::int64_t{variant.get<std::uint32_t>()};
        if (type == "x") return variant.get<std::int64_t>();
        if (type == "t") return static_cast<std::int64_t>(variant.get<std::uint64_t>());
        if (type == "s") return variant.get<std::string>();
        if (type == "o") return std::string(variant.get<sdbus::ObjectPath>());
        if (type == "as") return variant.get<std::vector<std::string>>();
        if (type == "ay") {
            auto bytes = variant.get<std::vector<std::uint8_t>>();
            return Data(bytes.begin(), bytes.end());
        }
    } catch (const sdbus::Error&) {
        // A value that does not read as its signature says is no value.
    }
    return std::monostate{};
}

Properties propertiesOf(const WireProperties& properties) {
    Properties values;
    for (const auto& [name, variant] : properties) values[name] = valueOf(variant);
    return values;
}

Objects objectsOf(const WireObjects& objects) {
    Objects tree;
    for (const auto& [path, interfaces] : objects) addInterfaces(tree, path, interfaces);
    return tree;
}

void addInterfaces(Objects& objects, const std::string& path, const WireInterfaces& interfaces) {
    auto& object = objects[path];
    for (const auto& [name, properties] : interfaces) object[name] = propertiesOf(properties);
}

void removeInterfaces(Objects& objects, const std::string& path, const std::vector<std::string>& interfaces) {
    auto found = objects.find(path);
    if (found == objects.end()) return;
    for (const auto& name : interfaces) found->second.erase(name);
    if (found->second.empty()) objects.erase(found);
}

void changeProperties(Objects& objects, const std::string& path, const std::string& interface,
                      const WireProperties& changed, const std::vector<std::string>& invalidated) {
    auto object = objects.find(path);
    if (object == objects.end()) return;
    auto properties = object->second.find(interface);
    if (properties == object->second.end()) return;
    for (const auto& [name, variant] : changed) properties->second[name] = valueOf(variant);
    for (const auto& name : invalidated) properties->second.erase(name);
}

const Properties* interfaceOf(const Interfaces& interfaces, const char* name) {
    auto found = interfaces.find(name);
    return found == interfaces.end() ? nullptr : &found->second;
}

}  // namespace bluez

namespace {

using namespace std::chrono_literals;

constexpr auto followInterval = 1s;  // how often the shared connection is looked at
constexpr auto answerTimeout = 10s;  // BlueZ answers from memory; one silent this long is given up on
constexpr auto retryPause = 10s;     // a BlueZ that did not give its objects is asked again after this
constexpr const char* busName = "org.freedesktop.DBus";
constexpr const char* busPath = "/org/freedesktop/DBus";

std::string systemBusAddress() {
    const char* set = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    return set ? set : "";
}

}  // namespace

BluezObjects& BluezObjects::shared() {
    static auto* objects = new BluezObjects();  // lives as long as the process; its thread ends at exit
    return *objects;
}

BluezObjects::BluezObjects() {
    follower_ = std::thread([this] { follow(); });
}

void BluezObjects::follow() {
    bool stopsAtExit = false;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        const auto address = systemBusAddress();
        auto current = DBusConnection::system();
        if (!stopsAtExit) {
            // The shared connections exist by now, so this runs at exit before they are ended.
            std::atexit([] { shared().stop(); });
            stopsAtExit = true;
        }
        lock.lock();
        if (stopping_) break;
        const bool other = current != connection_ || address != address_ || generation_ == 0;
        const bool askAgain = !other && connection_ && presence_ == bluez::Presence::unreadable && !reading_ &&
                              std::chrono::steady_clock::now() - failedAt_ >= retryPause;
        const auto generation = generation_;
        lock.unlock();
        if (other) {
            join(address, std::move(current));
        } else if (askAgain) {
            readObjects(generation);
        }
        current.reset();
        lock.lock();
        wake_.wait_for(lock, followInterval, [this] { return stopping_ || woken_; });
        woken_ = false;
    }
}

void BluezObjects::stop() {
    std::vector<sdbus::Slot> matches;
    std::map<std::string, std::shared_ptr<sdbus::IProxy>> proxies;
    std::shared_ptr<sdbus::IConnection> connection;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
        ++generation_;
        matches = std::move(matches_);
        proxies = std::move(proxies_);
        connection = std::move(connection_);
    }
    wake_.notify_all();
    if (follower_.joinable()) follower_.join();
}

void BluezObjects::join(const std::string& address, std::shared_ptr<sdbus::IConnection> connection) {
    std::vector<sdbus::Slot> matches;
    std::map<std::string, std::shared_ptr<sdbus::IProxy>> proxies;
    std::shared_ptr<sdbus::IConnection> left;
    std::uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        address_ = address;
        matches = std::move(matches_);
        matches_.clear();
        proxies = std::move(proxies_);
        proxies_.clear();
        left = std::exchange(connection_, connection);
        generation = ++generation_;
        owner_.reset();
        objects_.clear();
        reading_ = false;
        presence_ = connection ? bluez::Presence::unknown : bluez::Presence::absent;
    }
    // What belonged to the connection left is let go of outside the lock: sd-bus takes its own.
    matches.clear();
    proxies.clear();
    left.reset();
    tellObservers();
    if (!connection) return;

    auto on = [this, generation](void (BluezObjects::*member)(std::uint64_t, sdbus::Message&)) {
        return [this, generation, member](sdbus::Message& message) {
            try {
                (this->*member)(generation, message);
            } catch (const sdbus::Error&) {
                // A signal that does not read as documented is left alone.
            }
        };
    };
    try {
        matches.push_back(connection->addMatch(
            "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
            "member='NameOwnerChanged',arg0='org.bluez'",
            on(&BluezObjects::ownerChanged)));
        // BlueZ's own signals are told from others' by their sender, BlueZ's unique name.
        matches.push_back(connection->addMatch(
            "type='signal',path='/',interface='org.freedesktop.DBus.ObjectManager'", on(&BluezObjects::objectsChanged)));
        matches.push_back(connection->addMatch(
            "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
            "path_namespace='/org/bluez'",
            on(&BluezObjects::propertiesChanged)));
    } catch (const sdbus::Error&) {
        // The bus went away while it was joined: leaving it lets the next look join it again.
        matches.clear();
        {
            std::lock_guard lock(mutex_);
            if (generation != generation_) return;
            connection_.reset();
            presence_ = bluez::Presence::absent;
        }
        tellObservers();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (generation == generation_) matches_ = std::move(matches);
    }
    matches.clear();  // those of a connection left meanwhile
    askOwner(generation);
}

std::shared_ptr<sdbus::IProxy> BluezObjects::proxy(std::uint64_t generation, const std::string& destination,
                                                   const std::string& path) {
    const auto key = destination + " " + path;
    std::shared_ptr<sdbus::IConnection> connection;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || !connection_) return nullptr;
        if (auto found = proxies_.find(key); found != proxies_.end()) return found->second;
        connection = connection_;
    }
    // The proxy keeps its connection for as long as it lives.
    std::shared_ptr<sdbus::IProxy> made(sdbus::createProxy(*connection, destination, path).release(),
                                        [connection](sdbus::IProxy* proxy) { delete proxy; });
    std::lock_guard lock(mutex_);
    if (generation != generation_) return nullptr;
    return proxies_.emplace(key, std::move(made)).first->second;
}

void BluezObjects::askOwner(std::uint64_t generation) {
    auto daemon = proxy(generation, busName, busPath);
    if (!daemon) return;
    try {
        daemon->callMethodAsync("GetNameOwner")
            .onInterface(busName)
            .withTimeout(answerTimeout)
            .withArguments(std::string(bluez::service))
            .uponReplyInvoke([this, generation](const sdbus::Error* error, const std::string& owner) {
                // An error says that nothing owns the name (yet).
                ownerIs(generation, error ? std::string() : owner);
            });
    } catch (const sdbus::Error&) {
        ownerIs(generation, "");
    }
}

void BluezObjects::ownerIs(std::uint64_t generation, const std::string& owner) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || owner_ == owner) return;
        // The objects of a BlueZ that left are gone (its pending calls end with errors); a BlueZ
        // that came is read afresh.
        owner_ = owner;
        objects_.clear();
        reading_ = false;
        presence_ = owner.empty() ? bluez::Presence::absent : bluez::Presence::unknown;
    }
    tellObservers();
    readObjects(generation);
}

void BluezObjects::readObjects(std::uint64_t generation) {
    std::string owner;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || !owner_ || owner_->empty() || reading_) return;
        owner = *owner_;
        reading_ = true;
    }
    auto answered = [this, generation, owner](bluez::Objects objects, bool failed) {
        {
            std::lock_guard lock(mutex_);
            if (generation != generation_ || owner_ != owner || !reading_) return;
            reading_ = false;
            objects_ = std::move(objects);
            presence_ = failed ? bluez::Presence::unreadable : bluez::Presence::present;
            if (failed) failedAt_ = std::chrono::steady_clock::now();
        }
        tellObservers();
    };
    auto root = proxy(generation, bluez::service, "/");
    if (!root) return;
    try {
        root->callMethodAsync("GetManagedObjects")
            .onInterface(bluez::objectManagerInterface)
            .withTimeout(answerTimeout)
            .uponReplyInvoke([answered](const sdbus::Error* error, const bluez::WireObjects& wire) {
                answered(error ? bluez::Objects{} : bluez::objectsOf(wire), error != nullptr);
            });
    } catch (const sdbus::Error&) {
        answered({}, true);
    }
}

void BluezObjects::ownerChanged(std::uint64_t generation, sdbus::Message& message) {
    std::string name, previous, current;
    message >> name >> previous >> current;
    if (name == bluez::service) ownerIs(generation, current);
}

void BluezObjects::objectsChanged(std::uint64_t generation, sdbus::Message& message) {
    const std::string sender = message.getSender();
    const std::string member = message.getMemberName();
    sdbus::ObjectPath path;
    bluez::WireInterfaces added;
    std::vector<std::string> removed;
    if (member == "InterfacesAdded") {
        message >> path >> added;
    } else if (member == "InterfacesRemoved") {
        message >> path >> removed;
    } else {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || owner_ != sender) return;
        if (member == "InterfacesAdded") {
            bluez::addInterfaces(objects_, path, added);
        } else {
            bluez::removeInterfaces(objects_, path, removed);
        }
    }
    tellObservers();
}

void BluezObjects::propertiesChanged(std::uint64_t generation, sdbus::Message& message) {
    const std::string sender = message.getSender();
    const std::string path = message.getPath();
    std::string interface;
    bluez::WireProperties changed;
    std::vector<std::string> invalidated;
    message >> interface >> changed >> invalidated;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || owner_ != sender) return;
        bluez::changeProperties(objects_, path, interface, changed, invalidated);
    }
    if (interface != bluez::gattCharacteristicInterface) tellObservers();
}

void BluezObjects::tellObservers() {
    std::vector<std::shared_ptr<std::function<void()>>> live;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(observers_, [](const auto& observer) { return observer.expired(); });
        for (const auto& observer : observers_) {
            if (auto strong = observer.lock()) live.push_back(std::move(strong));
        }
    }
    for (const auto& changed : live) (*changed)();
}

void BluezObjects::read(const std::function<void(bluez::Presence, const bluez::Objects&)>& reader) const {
    const auto address = systemBusAddress();
    std::lock_guard lock(mutex_);
    if (address != address_) {
        // Another bus is named now: what is known is of the one before, until the new one is joined.
        woken_ = true;
        wake_.notify_all();
        reader(bluez::Presence::unknown, {});
        return;
    }
    reader(presence_, objects_);
}

std::shared_ptr<void> BluezObjects::observe(std::function<void()> changed) {
    auto token = std::make_shared<std::function<void()>>(std::move(changed));
    std::lock_guard lock(mutex_);
    observers_.push_back(token);
    return token;
}

void BluezObjects::call(const std::string& path, const std::string& interface, const std::string& method,
                        const std::function<void(sdbus::MethodCall&)>& arguments, std::chrono::microseconds timeout,
                        Reply reply) {
    std::uint64_t generation;
    bool there;
    {
        std::lock_guard lock(mutex_);
        generation = generation_;
        there = owner_ && !owner_->empty();
    }
    auto target = there ? proxy(generation, bluez::service, path) : nullptr;
    if (!target) {
        const sdbus::Error error("org.freedesktop.DBus.Error.ServiceUnknown", "BlueZ is not on the system bus");
        return reply(nullptr, &error);
    }
    try {
        auto message = target->createMethodCall(interface, method);
        arguments(message);
        target->callMethod(
            message,
            [reply](sdbus::MethodReply& answer, const sdbus::Error* error) { reply(error ? nullptr : &answer, error); },
            timeout);
    } catch (const sdbus::Error& error) {
        reply(nullptr, &error);
    }
}
