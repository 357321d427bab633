#include "AppKit/backends/SystemSleepFeed.hpp"

#include <mutex>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/BusService.hpp"

struct SystemSleepFeed::Listener {
    std::mutex mutex;
    std::shared_ptr<BusService> logind;
};

SystemSleepFeed::SystemSleepFeed() : listener_(std::make_unique<Listener>()) {}

SystemSleepFeed::~SystemSleepFeed() = default;

void SystemSleepFeed::listen() {
    std::lock_guard lock(listener_->mutex);
    if (listener_->logind) return listener_->logind->followAddress();
    BusService::Client client;
    // The bus matches the sender against whoever owns logind's name when the signal comes.
    client.matches.emplace_back(
        "type='signal',sender='org.freedesktop.login1',path='/org/freedesktop/login1',"
        "interface='org.freedesktop.login1.Manager',member='PrepareForSleep'",
        [](sdbus::Message& message) -> std::function<void()> {
            bool sleeping = false;
            message >> sleeping;
            if (!message) return {};
            const char* name = sleeping ? NSWorkspaceWillSleepNotification : NSWorkspaceDidWakeNotification;
            return [name] { NSWorkspace::shared().notificationCenter().post(name); };
        });
    // Only the bus is followed: the rule above finds logind whenever it runs, so its name needs no
    // watching of its own.
    listener_->logind = BusService::make(BusService::Bus::system, "", DispatchQueue::main(), std::move(client));
}
