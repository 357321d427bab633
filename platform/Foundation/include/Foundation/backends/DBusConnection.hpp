#pragma once
// The platform's connections to the desktop's message buses, shared by every freedesktop client of
// the platform: one connection per bus, whose incoming messages (signals, replies of asynchronous
// calls) are dispatched on a thread of its own. That thread sleeps until the bus's socket, sd-bus's
// own next deadline or wake() calls it. A client hops to its own queue before it touches anything
// of its own, and never lets go of the last reference to a connection from inside one of its
// callbacks. Clients reach a bus through BusService, which joins it off their thread and is the
// one to wake a connection's thread after using it.
//
// Joining a bus waits for its daemon's answer (the handshake): shared() and separate() are never
// for the main thread. A connection whose thread cannot be started (at the process's limit of
// threads) is not made: the caller hears that no bus answers, and joins at its next try.
// At the end of the process (Foundation/ProcessEnd.hpp) each dispatch thread sends what is queued
// on its connection, then ends, within the end's time; no connection is closed, and the end never
// waits for a handshake or a call that waits for a bus: a bus that hangs never holds up the end.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

class DBusConnection {
public:
    enum class Bus { session, system };

    /// The shared connection to `bus` at the bus's current address (DBUS_SESSION_BUS_ADDRESS or
    /// DBUS_SYSTEM_BUS_ADDRESS, else the standard one), made on first use and made anew when the
    /// address changes or the connection was lost; empty when no bus answers there.
    static std::shared_ptr<sdbus::IConnection> shared(Bus bus);
    static std::shared_ptr<sdbus::IConnection> session() { return shared(Bus::session); }
    static std::shared_ptr<sdbus::IConnection> system() { return shared(Bus::system); }
    /// A connection of the caller's own to `bus`, dispatched like the shared ones, for a client
    /// that needs a bus name per object; closed (its names released) when let go of. Empty when
    /// no bus answers.
    static std::shared_ptr<sdbus::IConnection> separate(Bus bus);
    /// The address the environment names for `bus` now; empty for the standard one.
    static std::string address(Bus bus);

    /// Makes ready, on the calling thread, what the end of the process needs of the buses (the
    /// stop of their threads, and the static connection sd-bus-c++ makes values through) before a
    /// bus is joined on another thread: a process that ends while that join runs then ends
    /// cleanly. Cheap after the first call.
    static void prepare();

    /// After a thread other than the connection's own has used it (sent a message, or called and
    /// waited for the answer): wakes the connection's thread, so that it takes in the deadline of
    /// a call sent, what is left to send, and the messages the waiting caller read meanwhile.
    static void wake(sdbus::IConnection& connection);
    /// Calls `lost` on the connection's thread once the connection is lost (at once, on this
    /// thread, when it is lost already), unless the returned token has been let go of by then.
    [[nodiscard]] static std::shared_ptr<void> whenLost(sdbus::IConnection& connection, std::function<void()> lost);

    /// Whether some peer owns `name` on `connection`; false when the bus does not answer in time.
    /// Waits for the bus.
    static bool hasOwner(sdbus::IConnection& connection, const std::string& name,
                         std::chrono::milliseconds timeout = std::chrono::seconds(2));

    DBusConnection() = delete;
};
