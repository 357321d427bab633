#include <gtest/gtest.h>

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
