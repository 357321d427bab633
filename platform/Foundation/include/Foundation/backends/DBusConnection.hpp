#pragma once
// The platform's connections to the desktop's message buses, shared by every freedesktop client of
// the platform: one connection per bus, whose incoming messages (signals, replies of asynchronous
// calls) are dispatched on a thread of its own. A client hops to the main queue itself before it
// touches anything of the main thread, and never lets go of the last reference to a connection from
// inside one of its callbacks.
#include <chrono>
#include <memory>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

class DBusConnection {
public:
    enum class Bus { session, system };

    /// The shared connection to `bus` at the bus's current address (DBUS_SESSION_BUS_ADDRESS or
    /// DBUS_SYSTEM_BUS_ADDRESS, else the standard one), made on first use and made anew when the
    /// address changes; empty when no bus answers there (asked again after a short pause).
    static std::shared_ptr<sdbus::IConnection> shared(Bus bus);
    static std::shared_ptr<sdbus::IConnection> session() { return shared(Bus::session); }
    static std::shared_ptr<sdbus::IConnection> system() { return shared(Bus::system); }
    /// A connection of the caller's own to `bus`, dispatched like the shared ones, for a client
    /// that needs a bus name per object; closed (its names released) when let go of. Empty when
    /// no bus answers.
    static std::shared_ptr<sdbus::IConnection> separate(Bus bus);

    /// Whether some peer owns `name` on `connection`; false when the bus does not answer in time.
    static bool hasOwner(sdbus::IConnection& connection, const std::string& name,
                         std::chrono::milliseconds timeout = std::chrono::seconds(2));
    /// Whether some peer owns `name` or the bus can start one for it (a service it activates).
    static bool canReach(sdbus::IConnection& connection, const std::string& name);

    DBusConnection() = delete;
};
