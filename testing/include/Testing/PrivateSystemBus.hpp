#pragma once
// A D-Bus daemon of the test's own that stands in for the system bus, with python-dbusmock
// services on it (Debian's /usr/bin/python3 runs them, whatever python3 comes first on PATH).
// While it lives, DBUS_SYSTEM_BUS_ADDRESS names it, so that the code under test and the programs
// it starts take it for the system bus.
//
//   PrivateSystemBus bus;
//   if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
//   bus.startMock("bluez5", "org.bluez");
#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

class TemporaryDirectory;

class PrivateSystemBus {
public:
    /// Starts the daemon, unless dbus-daemon or python-dbusmock is missing on this machine.
    /// Throws std::runtime_error when they are there and the daemon does not start.
    PrivateSystemBus();
    /// Stops the mocks and the daemon, and gives DBUS_SYSTEM_BUS_ADDRESS its old value back.
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    /// Why there is no bus (what is missing); empty when the bus runs.
    const std::string& unavailable() const { return unavailable_; }
    const std::string& address() const { return address_; }

    /// Starts the python-dbusmock template ("bluez5", "logind"...) and waits until it owns
    /// `busName`. Throws std::runtime_error when it does not come up.
    void startMock(const std::string& templateName, const std::string& busName);
    /// Stops the mock that owns `busName`; its name leaves the bus.
    void stopMock(const std::string& busName);
    bool hasOwner(const std::string& busName);

    /// The test's own connection to the bus, for setting mocks up and watching them.
    sdbus::IConnection& connection() { return *connection_; }
    /// A proxy of `busName`'s object at `path` on the test's connection.
    std::unique_ptr<sdbus::IProxy> proxy(const std::string& busName, const std::string& path);

private:
    pid_t spawn(const std::string& program, const std::vector<std::string>& arguments, int outputFd);
    std::string log(const std::string& name) const;

    std::string unavailable_;
    std::unique_ptr<TemporaryDirectory> directory_;
    std::string address_;
    std::optional<std::string> previousAddress_;
    pid_t daemon_ = -1;
    std::map<std::string, pid_t> mocks_;
    std::unique_ptr<sdbus::IConnection> connection_;
};
