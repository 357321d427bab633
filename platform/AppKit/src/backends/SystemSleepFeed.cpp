#include "AppKit/backends/SystemSleepFeed.hpp"

#include <mutex>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace {

void post(const char* name) {
    DispatchQueue::main().async([name] { NSWorkspace::shared().notificationCenter().post(name); });
}

}  // namespace

struct SystemSleepFeed::Listener {
    std::mutex mutex;
    std::shared_ptr<sdbus::IConnection> connection;
    sdbus::Slot match;  // let go of before its connection
};

SystemSleepFeed::SystemSleepFeed() : listener_(std::make_unique<Listener>()) {}

SystemSleepFeed::~SystemSleepFeed() {
    std::lock_guard lock(listener_->mutex);
    listener_->match.reset();
}

bool SystemSleepFeed::listen() {
    auto connection = DBusConnection::system();
    auto& listener = *listener_;
    std::lock_guard lock(listener.mutex);
    if (connection == listener.connection) return connection != nullptr;
    listener.match.reset();
    listener.connection = connection;
    if (!connection) return false;
    try {
        // The bus matches the sender against whoever owns logind's name when the signal comes.
        listener.match = connection->addMatch(
            "type='signal',sender='org.freedesktop.login1',path='/org/freedesktop/login1',"
            "interface='org.freedesktop.login1.Manager',member='PrepareForSleep'",
            [](sdbus::Message& message) {
                bool sleeping = false;
                try {
                    message >> sleeping;
                } catch (const sdbus::Error&) {
                    return;  // not the signal we know
                }
                if (!message) return;
                post(sleeping ? NSWorkspaceWillSleepNotification : NSWorkspaceDidWakeNotification);
            });
    } catch (const sdbus::Error&) {
        listener.connection.reset();
        return false;
    }
    return true;
}
