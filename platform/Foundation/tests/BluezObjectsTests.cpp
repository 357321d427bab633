// The process's copy of BlueZ's objects against python-dbusmock's BlueZ on a private system bus.
#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/RunLoop.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/backends/BluezObjects.hpp"
#include "Testing/BluezMock.hpp"

namespace {

// The lines written to the system log while it lives.
struct LoggedLines {
    std::mutex mutex;
    std::vector<std::string> lines;
    LoggedLines() {
        SystemLog::setSink([this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        });
    }
    ~LoggedLines() { SystemLog::setSink(nullptr); }
    std::vector<std::string> taken() {
        std::lock_guard lock(mutex);
        return lines;
    }
};

}  // namespace

// However fast BlueZ signals, and whatever other threads ask of the copy meanwhile, its observers
// run one at a time, and the snapshot ends as BlueZ's signals left it.
TEST(BluezObjects, ObserversNeverOverlapUnderAFloodOfSignals) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    BluezMock mock(bus);
    mock.addAdapter();
    auto device = mock.addDevice("hci0", "A4:83:E7:00:00:01", "Pen");
    auto& objects = BluezObjects::shared();

    std::atomic<int> inside{0}, calls{0};
    std::atomic<bool> overlapped{false};
    auto observation = objects.observe([&] {
        if (inside.fetch_add(1) != 0) overlapped = true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        ++calls;
        inside.fetch_sub(1);
    });
    std::atomic<bool> flooding{true};
    // Answers may still come once the test has ended.
    auto answers = std::make_shared<std::atomic<int>>(0);
    std::thread asking([&] {
        while (flooding) {
            objects.snapshot();
            objects.call(device, bluez::deviceInterface, "Disconnect", {}, std::chrono::seconds(5),
                         [answers](sdbus::MethodReply*, const sdbus::Error*) {
                             return std::function<void()>([answers] { ++*answers; });
                         });
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (int i = 0; i < 200; ++i) {
        mock.update(device, bluez::deviceInterface, {{"Name", sdbus::Variant("Pen " + std::to_string(i))}});
    }
    auto lastName = [&] {
        auto snapshot = objects.snapshot();
        return snapshot->devices.size() == 1 && snapshot->devices[0].name == "Pen 199";
    };
    const bool caughtUp = RunLoop::main().runUntil(lastName, 15);
    flooding = false;
    asking.join();
    EXPECT_TRUE(caughtUp);
    EXPECT_GT(calls.load(), 0);
    EXPECT_GT(answers->load(), 0);
    EXPECT_FALSE(overlapped);
}

// Another client of the system bus that signals on BlueZ's paths is not heard: a signal for every
// listener (here one of 200,000 properties, 5 MB) is not even passed on to the process, and one
// sent to the process's connection alone is left unread.
TEST(BluezObjects, OnlyBluezIsHeardOnItsPaths) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    BluezMock mock(bus);
    mock.addAdapter();
    auto device = mock.addDevice("hci0", "A4:83:E7:00:00:02", "Pen");
    auto& objects = BluezObjects::shared();
    auto name = [&]() -> std::optional<std::string> {
        auto snapshot = objects.snapshot();
        return snapshot->devices.size() == 1 ? snapshot->devices[0].name : std::nullopt;
    };
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return name() == "Pen"; }, 15));
    const auto ours = bus.listener("path_namespace='/org/bluez'");
    ASSERT_FALSE(ours.empty());

    auto stranger = sdbus::createObject(bus.connection(), device);
    auto strangersSignal = [&](const std::string& destination, int fillers) {
        auto signal = stranger->createSignal("org.freedesktop.DBus.Properties", "PropertiesChanged");
        if (!destination.empty()) signal.setDestination(destination);
        signal << std::string(bluez::deviceInterface);
        signal.openContainer("{sv}");
        signal.openDictEntry("sv") << std::string("Name");
        signal.openVariant("s") << std::string("Stranger");
        signal.closeVariant().closeDictEntry();
        for (int i = 0; i < fillers; ++i) {
            signal.openDictEntry("sv") << "Filler" + std::to_string(i);
            signal.openVariant("i") << std::int32_t{i};
            signal.closeVariant().closeDictEntry();
        }
        signal.closeContainer() << std::vector<std::string>{};
        stranger->emitSignal(signal);
    };
    LoggedLines logged;
    strangersSignal("", 200'000);
    strangersSignal(ours, 10);
    // One that would not read, were it read.
    auto cutShort = stranger->createSignal("org.freedesktop.DBus.Properties", "PropertiesChanged");
    cutShort.setDestination(ours);
    cutShort << std::string(bluez::deviceInterface) << std::map<std::string, sdbus::Variant>{};
    stranger->emitSignal(cutShort);
    bus.hasOwner("org.bluez");  // answered once the bus has passed the signals on
    // An observer is first told once the process has taken in what the bus sent it before.
    std::atomic<bool> caughtUp{false};
    auto observation = objects.observe([&] { caughtUp = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return caughtUp.load(); }, 15));
    EXPECT_EQ(name(), "Pen");
    EXPECT_LT(bus.peakBytesSentTo(ours), 1'000'000u);
    EXPECT_TRUE(logged.taken().empty());
}

// A signal of BlueZ that does not read as BlueZ writes it is left unread, and the log says what was
// wrong, once for each member.
TEST(BluezObjects, SignalsThatDoNotReadAreLoggedOncePerMember) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    BluezMock mock(bus);
    mock.addAdapter();
    auto device = mock.addDevice("hci0", "A4:83:E7:00:00:03", "Pen");
    auto& objects = BluezObjects::shared();
    auto named = [&](const std::string& name) {
        return RunLoop::main().runUntil([&] {
            auto snapshot = objects.snapshot();
            return snapshot->devices.size() == 1 && snapshot->devices[0].name == name;
        }, 15);
    };
    ASSERT_TRUE(named("Pen"));
    LoggedLines logged;
    auto emit = [&](const std::string& path, const char* interface, const char* member, const char* signature,
                    const std::vector<sdbus::Variant>& arguments) {
        bus.proxy(bluez::service, path)
            ->callMethod("EmitSignal")
            .onInterface("org.freedesktop.DBus.Mock")
            .withArguments(std::string(interface), std::string(member), std::string(signature), arguments);
    };
    const std::map<std::string, std::map<std::string, sdbus::Variant>> none;
    for (int i = 0; i < 2; ++i) {
        emit("/", bluez::objectManagerInterface, "InterfacesAdded", "sa{sa{sv}}", {sdbus::Variant(device), sdbus::Variant(none)});
    }
    emit(device, "org.freedesktop.DBus.Properties", "PropertiesChanged", "sa{sv}",
         {sdbus::Variant(std::string(bluez::deviceInterface)),
          sdbus::Variant(std::map<std::string, sdbus::Variant>{{"Name", sdbus::Variant(std::string("Cut short"))}})});
    mock.update(device, bluez::deviceInterface, {{"Name", sdbus::Variant(std::string("Pen 2"))}});
    ASSERT_TRUE(named("Pen 2"));
    const auto lines = logged.taken();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], testing::HasSubstr("BlueZ's InterfacesAdded was left unread: expected the object's path ('o'), "
                                             "but the message has 's' in its place"));
    EXPECT_THAT(lines[1], testing::HasSubstr("BlueZ's PropertiesChanged was left unread: expected the invalidated "
                                             "properties' names ('as'), but the message ends there"));
}
