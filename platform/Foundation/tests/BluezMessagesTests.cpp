// BlueZ's messages as the reader takes them in, built by sd-bus without a bus daemon: what BlueZ
// would never write is read past or refused with a text that says what was wrong.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <systemd/sd-bus.h>

#include "Foundation/backends/BluezSnapshot.hpp"
#include "Testing/TestEnvironment.hpp"

using testing::HasSubstr;

namespace {

constexpr const char* devicePath = "/org/bluez/hci0/dev_A4_83_E7_00_00_01";

struct Unref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
using Message = std::unique_ptr<sd_bus_message, Unref>;

class BluezMessages : public ::testing::Test {
protected:
    // sd-bus makes messages on a bus that has begun to join, here one end of a socket pair that no
    // daemon reads.
    void SetUp() override {
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends), 0);
        unread_ = ends[1];
        sd_bus* bus = nullptr;
        ASSERT_GE(sd_bus_new(&bus), 0);
        bus_.reset(bus);
        ASSERT_GE(sd_bus_set_fd(bus, ends[0], ends[0]), 0);
        ASSERT_GE(sd_bus_start(bus), 0);
    }
    void TearDown() override {
        bus_.reset();
        if (unread_ >= 0) close(unread_);
    }

    // The signal `member` with its arguments written by sd_bus_message_append(), or by `write`.
    template <class... Arguments>
    Message signal(const char* member, const char* signature, Arguments... arguments) {
        return signalWith(member, [&](sd_bus_message* message) {
            EXPECT_GE(sd_bus_message_append(message, signature, arguments...), 0);
        });
    }
    template <class Write>
    Message signalWith(const char* member, Write write) {
        const bool ofObject = std::string(member) == "PropertiesChanged";
        sd_bus_message* made = nullptr;
        EXPECT_GE(sd_bus_message_new_signal(bus_.get(), &made, ofObject ? devicePath : "/",
                                            ofObject ? "org.freedesktop.DBus.Properties" : bluez::objectManagerInterface,
                                            member),
                  0);
        Message message(made);
        write(made);
        EXPECT_GE(sd_bus_message_seal(made, 1, 0), 0);
        return message;
    }

    std::unique_ptr<sd_bus, Unref> bus_;
    int unread_ = -1;
};

// What the reader says of a message it refuses.
template <class Read>
std::string refusal(Read read) {
    try {
        read();
    } catch (const sdbus::Error& error) {
        return error.getMessage();
    }
    return "(read)";
}

}  // namespace

TEST_F(BluezMessages, ArgumentsOfOtherTypesOrMissingAreRefusedSayingWhatWasWrong) {
    auto pathAsText = signal("InterfacesAdded", "sa{sa{sv}}", devicePath, 0);
    EXPECT_EQ(refusal([&] { bluez::readChange(pathAsText.get()); }),
              "expected the object's path ('o'), but the message has 's' in its place");
    auto listAsProperties = signal("InterfacesRemoved", "oa{sv}", devicePath, 0);
    EXPECT_EQ(refusal([&] { bluez::readChange(listAsProperties.get()); }),
              "expected the interfaces' names ('as'), but the message has 'a{sv}' in its place");
    auto cutShort = signal("PropertiesChanged", "sa{sv}", bluez::batteryInterface, 1, "Percentage", "y", 42);
    EXPECT_EQ(refusal([&] { bluez::readChange(cutShort.get()); }),
              "expected the invalidated properties' names ('as'), but the message ends there");
    auto unknownCutShort = signal("PropertiesChanged", "s", "org.bluez.Input1");
    EXPECT_THAT(refusal([&] { bluez::readChange(unknownCutShort.get()); }), HasSubstr("the properties ('a{sv}')"));
    auto objectsByText = signal("GetManagedObjects", "a{sa{sa{sv}}}", 0);
    EXPECT_THAT(refusal([&] { bluez::readObjects(objectsByText.get()); }), HasSubstr("'a{sa{sa{sv}}}' in its place"));
}

TEST_F(BluezMessages, ValuesOfOtherTypesAndUnknownInterfacesAreReadPast) {
    auto added = signal("InterfacesAdded", "oa{sa{sv}}", devicePath, 3,
                        "org.bluez.Input1", 1, "ReconnectMode", "s", "any",
                        bluez::deviceInterface, 5, "Address", "s", "A4:83:E7:00:00:01", "Name", "as", 1, "Pen",
                        "Appearance", "v", "v", "q", 0x03C2, "UUIDs", "as", 0, "RSSI", "n", -60,
                        bluez::batteryInterface, 1, "Percentage", "s", "42");
    auto change = bluez::readChange(added.get());
    const auto* interfaces = std::get_if<bluez::InterfacesAdded>(&change);
    ASSERT_NE(interfaces, nullptr);
    EXPECT_EQ(interfaces->interfaces.count("org.bluez.Input1"), 0u);
    const auto& device = interfaces->interfaces.at(bluez::deviceInterface);
    EXPECT_EQ(device.size(), 4u);  // not RSSI
    EXPECT_NE(bluez::property<std::vector<std::string>>(device, "Name"), nullptr);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(device.at("Appearance")));
    EXPECT_TRUE(bluez::property<std::vector<std::string>>(device, "UUIDs")->empty());
    EXPECT_NE(bluez::property<std::string>(interfaces->interfaces.at(bluez::batteryInterface), "Percentage"), nullptr);

    auto unknownOnly = signal("InterfacesAdded", "oa{sa{sv}}", devicePath, 1, "org.bluez.Input1", 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(bluez::readChange(unknownOnly.get())));
    auto otherMember = signal("InterfacesMoved", "i", 1);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(bluez::readChange(otherMember.get())));
}

TEST_F(BluezMessages, VeryManyEntriesAreReadOrReadPast) {
    constexpr int many = 200'000;
    auto large = signalWith("PropertiesChanged", [&](sd_bus_message* message) {
        ASSERT_GE(sd_bus_message_append(message, "s", bluez::deviceInterface), 0);
        ASSERT_GE(sd_bus_message_open_container(message, 'a', "{sv}"), 0);
        for (int i = 0; i < many; ++i) {
            ASSERT_GE(sd_bus_message_append(message, "{sv}", ("Filler" + std::to_string(i)).c_str(), "i", i), 0);
        }
        ASSERT_GE(sd_bus_message_open_container(message, 'e', "sv"), 0);
        ASSERT_GE(sd_bus_message_append(message, "s", "UUIDs"), 0);
        ASSERT_GE(sd_bus_message_open_container(message, 'v', "as"), 0);
        ASSERT_GE(sd_bus_message_open_container(message, 'a', "s"), 0);
        for (int i = 0; i < many; ++i) ASSERT_GE(sd_bus_message_append(message, "s", "0000180F-0000-1000-8000-00805F9B34FB"), 0);
        for (int i = 0; i < 4; ++i) ASSERT_GE(sd_bus_message_close_container(message), 0);
        ASSERT_GE(sd_bus_message_append(message, "as", 1, "Alias"), 0);
    });
    auto change = bluez::readChange(large.get());
    const auto* properties = std::get_if<bluez::PropertiesChanged>(&change);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->path, devicePath);
    ASSERT_EQ(properties->changed.size(), 1u);
    EXPECT_EQ(bluez::property<std::vector<std::string>>(properties->changed, "UUIDs")->size(), std::size_t{many});
    EXPECT_EQ(properties->invalidated, std::vector<std::string>{"Alias"});
}

// The build names the releases of sdbus-c++ it is written for: another stops the configure step
// with a message that says so, before the compiler would.
TEST_F(BluezMessages, AnotherReleaseOfSdbusCppStopsTheConfigureStep) {
    TemporaryDirectory folder;
    folder.write("pkgconfig/sdbus-c++.pc", "Name: sdbus-c++\nDescription: a later release\nVersion: 2.0.0\nCflags:\nLibs:\n");
    folder.write("project/CMakeLists.txt", "cmake_minimum_required(VERSION 3.25)\nproject(Dependencies LANGUAGES C CXX)\n"
                                           "include(\"" QUILLON_SOURCE_DIR "/cmake/Dependencies.cmake\")\n");
    const auto path = folder.path().string();
    const char* searched = std::getenv("PKG_CONFIG_PATH");
    const std::string command = "PKG_CONFIG_PATH='" + path + "/pkgconfig" + (searched ? std::string(":") + searched : "") +
                                "' cmake -G Ninja -S '" + path + "/project' -B '" + path + "/build' 2>&1";
    std::string output;
    FILE* configure = popen(command.c_str(), "r");
    ASSERT_NE(configure, nullptr);
    char chunk[4096];
    while (auto read = std::fread(chunk, 1, sizeof chunk, configure)) output.append(chunk, read);
    EXPECT_NE(pclose(configure), 0) << output;
    EXPECT_THAT(output, HasSubstr("sdbus-c++ 2.0.0 is installed, but the build takes sdbus-c++ 1.2 to 1.x")) << output;
}
