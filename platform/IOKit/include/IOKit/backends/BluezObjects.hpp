#pragma once
// BlueZ, Linux's Bluetooth service, as this process follows it on the system bus (the bus at
// DBUS_SYSTEM_BUS_ADDRESS when that is set): the objects its object manager publishes (object
// path, interface, property), kept up to date from its signals. One copy serves the whole process,
// the registry's Bluetooth devices and the Bluetooth stack alike, so that both tell of the same
// devices.
//
// Nothing here waits for the bus on the caller's thread. A thread of the copy's own follows the
// platform's shared connection to the system bus (a bus that comes later, goes or restarts is
// joined again within a few seconds) and the owner of "org.bluez" on it (NameOwnerChanged): a
// BlueZ that comes, later or again, is read afresh (GetManagedObjects); one that goes leaves no
// objects. Signals and answers arrive on the shared connection's thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/Data.hpp"

namespace bluez {

inline constexpr const char* service = "org.bluez";
inline constexpr const char* adapterInterface = "org.bluez.Adapter1";
inline constexpr const char* deviceInterface = "org.bluez.Device1";
inline constexpr const char* batteryInterface = "org.bluez.Battery1";
inline constexpr const char* gattServiceInterface = "org.bluez.GattService1";
inline constexpr const char* gattCharacteristicInterface = "org.bluez.GattCharacteristic1";
inline constexpr const char* objectManagerInterface = "org.freedesktop.DBus.ObjectManager";

/// The property types BlueZ uses for what we read: booleans, integers of every width, texts and
/// object paths, arrays of texts, byte arrays. Other types are kept as "no value".
using Value = std::variant<std::monostate, bool, std::int64_t, std::string, std::vector<std::string>, Data>;
using Properties = std::map<std::string, Value>;
using Interfaces = std::map<std::string, Properties>;
/// By object path; the map keeps paths sorted, which is BlueZ's attribute order ("service000a" <
/// "service0010").
using Objects = std::map<std::string, Interfaces>;

using WireProperties = std::map<std::string, sdbus::Variant>;
using WireInterfaces = std::map<std::string, WireProperties>;
using WireObjects = std::map<sdbus::ObjectPath, WireInterfaces>;

Value valueOf(const sdbus::Variant& variant);
Properties propertiesOf(const WireProperties& properties);
Objects objectsOf(const WireObjects& objects);

/// InterfacesAdded: the interfaces are added to the object, or replace those of the same name.
void addInterfaces(Objects& objects, const std::string& path, const WireInterfaces& interfaces);
/// InterfacesRemoved: an object left without interfaces is gone.
void removeInterfaces(Objects& objects, const std::string& path, const std::vector<std::string>& interfaces);
/// PropertiesChanged on an interface the tree knows; changes to unknown objects are ignored.
void changeProperties(Objects& objects, const std::string& path, const std::string& interface,
                      const WireProperties& changed, const std::vector<std::string>& invalidated);

/// The properties of the interface on an object; none when the object lacks the interface.
const Properties* interfaceOf(const Interfaces& interfaces, const char* name);
/// The property's value when it is there with that type.
template <class T>
const T* property(const Properties& properties, const std::string& key) {
    auto found = properties.find(key);
    return found == properties.end() ? nullptr : std::get_if<T>(&found->second);
}

/// What can be said of BlueZ.
enum class Presence {
    unknown,     ///< not yet known: the bus is being joined, or BlueZ's objects are being read
    absent,      ///< no system bus can be reached, or nothing owns "org.bluez" on it
    unreadable,  ///< BlueZ did not give its objects (it is asked again after a pause)
    present,     ///< the objects are BlueZ's, as its signals have left them since
};

}  // namespace bluez

class BluezObjects {
public:
    /// The process's copy; it begins to follow the bus on first use and follows it for the life
    /// of the process.
    static BluezObjects& shared();

    /// Calls `reader` with what is known now, under the copy's lock: it must be short and must
    /// not call back into the copy. While the bus named by the environment is not yet the one
    /// joined, nothing is known.
    void read(const std::function<void(bluez::Presence, const bluez::Objects&)>& reader) const;

    /// `changed` is called after each change of the objects or of the presence, on a thread of the
    /// platform and never under the copy's lock, for as long as the returned token is held. A
    /// change of characteristic values alone is kept without a call (they change with every
    /// notification, and nothing that watches depends on them).
    [[nodiscard]] std::shared_ptr<void> observe(std::function<void()> changed);

    using Reply = std::function<void(sdbus::MethodReply* reply, const sdbus::Error* error)>;
    /// Calls `method` of `interface` on BlueZ's object at `path` and returns at once. `reply`
    /// follows on the connection's thread with the answer or the error; when BlueZ is not there it
    /// comes at once, on this thread, with an error.
    void call(const std::string& path, const std::string& interface, const std::string& method,
              const std::function<void(sdbus::MethodCall&)>& arguments, std::chrono::microseconds timeout,
              Reply reply);

    BluezObjects(const BluezObjects&) = delete;
    BluezObjects& operator=(const BluezObjects&) = delete;

private:
    BluezObjects();

    void follow();
    void stop();
    void join(const std::string& address, std::shared_ptr<sdbus::IConnection> connection);
    void askOwner(std::uint64_t generation);
    void ownerIs(std::uint64_t generation, const std::string& owner);
    void readObjects(std::uint64_t generation);
    void ownerChanged(std::uint64_t generation, sdbus::Message& message);
    void objectsChanged(std::uint64_t generation, sdbus::Message& message);
    void propertiesChanged(std::uint64_t generation, sdbus::Message& message);
    /// A proxy of the object at `path` on the connection of `generation`, kept for later calls;
    /// empty when that connection has been left meanwhile.
    std::shared_ptr<sdbus::IProxy> proxy(std::uint64_t generation, const std::string& destination,
                                         const std::string& path);
    void tellObservers();

    mutable std::mutex mutex_;  // guards everything below; never held while sd-bus is called
    mutable std::condition_variable wake_;
    mutable bool woken_ = false;  // the follower is wanted before its next look
    bool stopping_ = false;
    std::thread follower_;
    std::string address_;  // of the bus joined
    std::shared_ptr<sdbus::IConnection> connection_;
    std::uint64_t generation_ = 0;  // counts the connections joined
    std::vector<sdbus::Slot> matches_;
    std::map<std::string, std::shared_ptr<sdbus::IProxy>> proxies_;
    std::optional<std::string> owner_;  // BlueZ's unique name, empty while it is away; unknown at first
    bluez::Presence presence_ = bluez::Presence::unknown;
    bluez::Objects objects_;
    bool reading_ = false;  // GetManagedObjects awaits its answer
    std::chrono::steady_clock::time_point failedAt_;
    std::vector<std::weak_ptr<std::function<void()>>> observers_;
};
