#pragma once
// A D-Bus daemon of the test's own that stands in for the system or the session bus, with
// python-dbusmock services on it (Debian's /usr/bin/python3 runs them, whatever python3 comes first
// on PATH). While it lives, DBUS_SYSTEM_BUS_ADDRESS (or DBUS_SESSION_BUS_ADDRESS) names it, so that
// the code under test and the programs it starts take it for that bus.
//
//   PrivateSystemBus bus;
//   if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
//   bus.startMock("bluez5", "org.bluez");
//
//   PrivateSessionBus session;
//   session.startObjectMock("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
//                           "org.freedesktop.portal.Settings");
//   session.addMethod("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
//                     "org.freedesktop.portal.Settings", "ReadOne", "ss", "v", "ret = dbus.UInt32(1, variant_level=1)");
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

class TemporaryDirectory;

class PrivateBus {
public:
    enum class Kind { system, session };

    /// Starts the daemon, unless dbus-daemon or python-dbusmock is missing on this machine.
    /// Throws std::runtime_error when they are there and the daemon does not start.
    explicit PrivateBus(Kind kind);
    /// Stops the mocks and the daemon, and gives the bus's address variable its old value back.
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    /// Stops the mocks and the daemon and starts the daemon again at the same address, as a
    /// system restarts its bus: every connection to the old one is lost.
    void restart();
    /// restart() in two steps, for a bus that stays away a while: stop() ends the mocks and the
    /// daemon, start() starts the daemon again at the same address.
    void stop();
    void start();

    /// Stops the daemon until resume(), as a daemon that hangs: its socket still takes connections
    /// and messages, and nothing is answered.
    void pause();
    void resume();

    /// Why there is no bus (what is missing); empty when the bus runs.
    const std::string& unavailable() const { return unavailable_; }
    const std::string& address() const { return address_; }

    /// Starts the python-dbusmock template ("bluez5", "logind"..., or the path of a template file
    /// such as testing/dbusmock/status_notifier_watcher.py) with the template's `parameters` (a
    /// JSON object, none when empty) and waits until it owns `busName`. Throws
    /// std::runtime_error when it does not come up.
    void startMock(const std::string& templateName, const std::string& busName, const std::string& parameters = "");
    /// Stops the mock that owns `busName`; its name leaves the bus.
    void stopMock(const std::string& busName);
    /// Starts python-dbusmock's plain mock: `busName` with one object at `path` that offers
    /// `interface` and no methods yet (add them with addMethod), and waits until it owns the name.
    void startObjectMock(const std::string& busName, const std::string& path, const std::string& interface);
    /// Gives the mock object at `path` a method (org.freedesktop.DBus.Mock.AddMethod): D-Bus
    /// signatures of its arguments and results, and python code that sets `ret` from `args`.
    void addMethod(const std::string& busName, const std::string& path, const std::string& interface,
                   const std::string& name, const std::string& inSignature, const std::string& outSignature,
                   const std::string& code);
    /// The calls of `method` that the mock object at `path` received, oldest first, each with its
    /// arguments (org.freedesktop.DBus.Mock.GetMethodCalls).
    std::vector<std::vector<sdbus::Variant>> calls(const std::string& busName, const std::string& path,
                                                   const std::string& method);
    bool hasOwner(const std::string& busName);
    /// Whether some connection has asked the bus for signals by a match rule that contains
    /// `fragment` (such as "member='PrepareForSleep'"): code that joins the bus off its caller's
    /// thread listens once this holds.
    bool listensFor(const std::string& fragment);
    /// The unique name of a connection that listens so; empty when none does.
    std::string listener(const std::string& fragment);
    /// The most bytes that the daemon has held at once for the connection, waiting to be read by
    /// it (org.freedesktop.DBus.Debug.Stats): a message it was sent counts whole.
    std::uint32_t peakBytesSentTo(const std::string& connection);
    /// What the mock that owns `busName` has printed so far (python-dbusmock prints each call it
    /// takes, property reads included).
    std::string mockOutput(const std::string& busName) const { return log("mock-" + busName); }

    /// The test's own connection to the bus, for setting mocks up and watching them.
    sdbus::IConnection& connection() { return *connection_; }
    /// A proxy of `busName`'s object at `path` on the test's connection.
    std::unique_ptr<sdbus::IProxy> proxy(const std::string& busName, const std::string& path);

private:
    const char* variable() const { return kind_ == Kind::system ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS"; }
    const char* busFlag() const { return kind_ == Kind::system ? "--system" : "--session"; }
    void startDaemon();
    void waitForOwner(const std::string& busName, pid_t pid, const std::string& what, const std::string& logName);
    pid_t spawn(const std::string& program, const std::vector<std::string>& arguments, int outputFd);
    std::string log(const std::string& name) const;

    Kind kind_;
    std::string unavailable_;
    std::unique_ptr<TemporaryDirectory> directory_;
    std::string address_;
    std::optional<std::string> previousAddress_;
    pid_t daemon_ = -1;
    std::map<std::string, pid_t> mocks_;
    std::unique_ptr<sdbus::IConnection> connection_;
};

class PrivateSystemBus : public PrivateBus {
public:
    PrivateSystemBus() : PrivateBus(Kind::system) {}
};

class PrivateSessionBus : public PrivateBus {
public:
    PrivateSessionBus() : PrivateBus(Kind::session) {}
};
