#pragma once
// BlueZ, Linux's Bluetooth service, as this process follows it on the system bus (the bus at
// DBUS_SYSTEM_BUS_ADDRESS when that is set): the objects its object manager publishes, kept up to
// date from its signals, and the snapshot made of them (Foundation/backends/BluezSnapshot.hpp).
// One copy serves the whole process, the registry's Bluetooth devices and the Bluetooth stack
// alike, so that both tell of the same devices.
//
// Nothing here waits for the bus on the caller's thread. The system bus and the owner of
// "org.bluez" on it are followed through a BusService (a bus that comes later, goes or restarts is
// joined again within a few seconds): a BlueZ that comes, later or again, is read afresh
// (GetManagedObjects); one that goes leaves no objects. Only BlueZ's signals are heard: the match
// rules name it as their sender, so the bus passes on no other client's, and one that another
// client sends to this process alone is left unread, for its sender is not BlueZ's owner. A
// message of BlueZ that does not read as BlueZ writes it is left unread, and told of in the system
// log once for each member. The objects change on a queue of the copy's own, one change after
// another; the snapshot is made anew there once a burst of changes has been taken in, and the
// observers are told there, one at a time.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/BluezSnapshot.hpp"
#include "Foundation/backends/BusService.hpp"

class BluezObjects {
public:
    /// The process's copy; it begins to follow the bus on first use and follows it for the life
    /// of the process.
    static BluezObjects& shared();

    /// What is known now. While the bus named by the environment is not yet the one joined,
    /// nothing is known (and that bus is joined).
    std::shared_ptr<const bluez::Snapshot> snapshot() const;

    /// `changed` is called on the copy's queue after each new snapshot, for as long as the
    /// returned token is held, and once soon after this call, when what the bus said until this
    /// call has been taken in. Observers run one at a time, never two at once. A change of
    /// characteristic values alone makes a new snapshot without a call (they change with every
    /// notification, and nothing that watches depends on them).
    [[nodiscard]] std::shared_ptr<void> observe(std::function<void()> changed);

    /// Calls `method` of `interface` on BlueZ's object at `path` and returns at once. `reader`
    /// reads the answer or the error (on the system bus's thread, or on the copy's queue when
    /// BlueZ is not there); what it returns runs on the copy's queue, after the changes BlueZ
    /// signalled before it answered. Never inside this call.
    void call(const std::string& path, const std::string& interface, const std::string& method,
              std::function<void(sdbus::MethodCall&)> arguments, std::chrono::microseconds timeout,
              BusService::ReplyReader reader);

    BluezObjects(const BluezObjects&) = delete;
    BluezObjects& operator=(const BluezObjects&) = delete;

private:
    BluezObjects();

    // On the copy's queue.
    void ownerIs(const std::string& owner, bool joined);
    void readObjects();
    void changed(bool tell);
    void publish();
    // Any thread.
    void misread(const std::string& member, const sdbus::Error& error);

    const DispatchQueue queue_;
    std::shared_ptr<BusService> bus_;

    // The copy's queue only.
    std::string address_;  // of the bus last heard of
    std::string owner_;
    bluez::Presence presence_ = bluez::Presence::unknown;
    bluez::Objects objects_;
    std::uint64_t reads_ = 0;  // counts the GetManagedObjects asked
    bool publishing_ = false;  // a new snapshot is on its way
    bool tell_ = false;        // ... and the observers are to hear of it

    mutable std::mutex mutex_;  // guards what follows
    std::shared_ptr<const bluez::Snapshot> snapshot_ = std::make_shared<bluez::Snapshot>();
    std::optional<std::string> snapshotAddress_;  // of the bus it is of; none before any was heard of
    std::vector<std::weak_ptr<std::function<void()>>> observers_;
    std::set<std::string> misread_;  // the members told of in the log
};
