#include "AppKit/backends/SystemSleepFeed.hpp"

#include <mutex>
#include <string>

#include <sdbus-c++/sdbus-c++.h>

#include "AppKit/NSWorkspace.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/BusService.hpp"

namespace {
constexpr const char* logindName = "org.freedesktop.login1";
}  // namespace

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
    // Only logind's own signal counts: the bus matches a broadcast's sender against whoever owns
    // logind's name when the signal comes, and the service one sent to this connection alone.
    client.ownersSignalsOnly = true;
    client.matches.emplace_back(
        std::string("type='signal',sender='") + logindName +
            "',path='/org/freedesktop/login1',interface='org.freedesktop.login1.Manager',member='PrepareForSleep'",
        [](sdbus::Message& message) -> std::function<void()> {
            bool sleeping = false;
            message >> sleeping;
            if (!message) return {};
            const char* name = sleeping ? NSWorkspaceWillSleepNotification : NSWorkspaceDidWakeNotification;
            return [name] { NSWorkspace::shared().notificationCenter().post(name); };
        });
    listener_->logind = BusService::make(BusService::Bus::system, logindName, DispatchQueue::main(), std::move(client));
}
