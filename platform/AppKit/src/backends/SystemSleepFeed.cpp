#include "AppKit/backends/SystemSleepFeed.hpp"

#include <chrono>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/DispatchQueue.hpp"

namespace {

constexpr const char* logind = "org.freedesktop.login1";

void post(const char* name) {
    DispatchQueue::main().async([name] { NSWorkspace::shared().notificationCenter().post(name); });
}

}  // namespace

struct SystemSleepFeed::Listener {
    std::unique_ptr<sdbus::IConnection> connection;
    sdbus::Slot match;

    ~Listener() {
        if (!connection) return;
        connection->leaveEventLoop();
        match.reset();
    }
};

std::unique_ptr<SystemSleepFeed> SystemSleepFeed::start() {
    auto listener = std::make_unique<Listener>();
    try {
        listener->connection = sdbus::createSystemBusConnection();
        std::string owner;
        auto daemon = sdbus::createProxy(*listener->connection, "org.freedesktop.DBus", "/org/freedesktop/DBus");
        daemon->callMethod("GetNameOwner")
            .onInterface("org.freedesktop.DBus")
            .withTimeout(std::chrono::seconds(2))
            .withArguments(std::string(logind))
            .storeResultsTo(owner);
        // Only logind's own signal counts: the bus matches the sender against whoever owns its name.
        listener->match = listener->connection->addMatch(
            "type='signal',sender='org.freedesktop.login1',path='/org/freedesktop/login1',"
            "interface='org.freedesktop.login1.Manager',member='PrepareForSleep'",
            [](sdbus::Message& message) {
                bool sleeping = false;
                try {
                    message >> sleeping;
                } catch (const sdbus::Error&) {
                    return;  // not the signal we know
                }
                post(sleeping ? NSWorkspaceWillSleepNotification : NSWorkspaceDidWakeNotification);
            });
        listener->connection->enterEventLoopAsync();
    } catch (const sdbus::Error&) {
        return nullptr;  // no system bus, or no logind on it
    }
    return std::unique_ptr<SystemSleepFeed>(new SystemSleepFeed(std::move(listener)));
}

SystemSleepFeed::SystemSleepFeed(std::unique_ptr<Listener> listener) : listener_(std::move(listener)) {}

SystemSleepFeed::~SystemSleepFeed() = default;
