#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "Foundation/backends/DBusConnection.hpp"
#include "Testing/PrivateBus.hpp"

namespace {
constexpr const char* name = "org.example.Echo";
constexpr const char* path = "/org/example/Echo";
constexpr const char* interface = "org.example.Echo";

std::string echo(sdbus::IConnection& connection, const std::string& text) {
    std::string answer;
    sdbus::createProxy(connection, name, path)
        ->callMethod("Echo")
        .onInterface(interface)
        .withArguments(text)
        .storeResultsTo(answer);
    return answer;
}

/// The sockets that the kernel lists at the path of the bus's socket: its daemon's, and one for each
/// connection made to it, taken by the daemon or not yet.
int socketsAt(const PrivateBus& bus) {
    const auto& address = bus.address();
    const auto path = " " + address.substr(address.find("path=") + 5);
    std::ifstream table("/proc/net/unix");
    int count = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.size() > path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) ++count;
    }
    return count;
}
}  // namespace

// One connection is shared while the bus stays; a bus at another address gets a connection of its own.
TEST(DBusConnection, SharesOneConnectionPerBusAddress) {
    std::shared_ptr<sdbus::IConnection> first;
    {
        PrivateSessionBus bus;
        if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
        bus.startObjectMock(name, path, interface);
        bus.addMethod(name, path, interface, "Echo", "s", "s", "ret = args[0]");
        first = DBusConnection::session();
        ASSERT_TRUE(first);
        EXPECT_EQ(first, DBusConnection::session());
        EXPECT_TRUE(DBusConnection::hasOwner(*first, name));
        EXPECT_EQ("hello", echo(*first, "hello"));
    }
    PrivateSessionBus next;
    next.startObjectMock(name, path, interface);
    next.addMethod(name, path, interface, "Echo", "s", "s", "ret = args[0] + '!'");
    auto second = DBusConnection::session();
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ("hi!", echo(*second, "hi"));
}

// Joining a bus waits for its daemon; asking for the other bus meanwhile does not.
TEST(DBusConnection, ABusWhoseDaemonHangsHoldsUpNoOneAskingForTheOther) {
    PrivateSystemBus system;
    if (!system.unavailable().empty()) GTEST_SKIP() << system.unavailable();
    PrivateSessionBus session;
    system.pause();
    const auto before = socketsAt(system);
    std::thread joining([] { DBusConnection::system(); });  // waits for the daemon to answer
    for (int i = 0; i < 1500 && socketsAt(system) == before; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));

    auto asked = std::async(std::launch::async, [] { return DBusConnection::session(); });
    const bool answered = asked.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    system.resume();
    joining.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(asked.get());
}
