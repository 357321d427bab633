#pragma once
// A service on one of the desktop's buses as a client of the platform follows it: the settings
// portal, the tray's watcher, the notification server, logind, BlueZ. The bus is joined on a
// thread of the service's own (joining waits for the bus's daemon); the service's name is followed
// through the bus's NameOwnerChanged signal and the connection's loss as it happens, both heard on
// the connection's thread. A bus that cannot be joined, or is lost, is joined again as soon as its
// daemon makes its socket, where its address is a socket file (its folder watched, or while that
// does not exist the nearest one above it; nothing runs on a timer meanwhile); else (an abstract
// socket, TCP, a socket left behind) after a pause that grows while it stays away (a tenth of a
// second at first, five seconds at most). A join that found no thread to start (at the process's
// limit of threads) is tried again after that pause, and one that the socket's appearance could
// not start for want of a thread every five seconds until it starts. It is joined at once when the
// environment names another bus (as a call or a perform finds). Every event and answer reaches
// the client on the queue it names, in order, and never inside one of the client's own calls.
// Calls and performs handed to a service before the end of the process are made before its bus's
// thread sends what is queued and ends, within the end's time (Foundation/ProcessEnd.hpp).
//
//   auto portal = BusService::make(BusService::Bus::session, "org.freedesktop.portal.Desktop",
//                                  DispatchQueue::main(), {.joined = ..., .ownerChanged = ...});
//   portal->call({.path = "/org/freedesktop/portal/desktop", ...}, [](auto* reply, auto* error) {
//       ... read the reply on the bus's thread ...
//       return [=] { ... use it on the main queue ... };
//   });
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/backends/DBusConnection.hpp"

class BusService : public std::enable_shared_from_this<BusService> {
public:
    using Bus = DBusConnection::Bus;
    /// What follows a message, read on the connection's thread: a block for the client's queue,
    /// or none.
    using Reader = std::function<std::function<void()>(sdbus::Message& message)>;
    /// What follows the answer to a call (`reply`) or its failure (`error`), read likewise.
    using ReplyReader = std::function<std::function<void()>(sdbus::MethodReply* reply, const sdbus::Error* error)>;

    struct Client {
        /// A connection to the bus is up; `owner` is the service's owner there (its unique name),
        /// empty when nothing owns the name. Also after every join that follows a loss.
        std::function<void(const std::string& owner)> joined;
        /// While joined: the name has another owner, empty when its owner left.
        std::function<void(const std::string& owner)> ownerChanged;
        /// The connection was lost, or the bus could not be joined (told once until it is
        /// joined): whatever lived on the connection is gone.
        std::function<void()> left;
        /// Called just before each joined() and left(), on the same queue, with the address of the
        /// bus that event concerns (the environment's address variable as it was when that join
        /// was begun; empty for the standard bus): for a client that keeps apart what it heard of
        /// each bus.
        std::function<void(const std::string& address)> heard;
        /// Signals heard on every connection joined: match rules with their readers.
        std::vector<std::pair<std::string, Reader>> matches;
        /// The readers of `matches` and of listen() read only signals whose sender is the name's
        /// owner when they come: the others, such as a signal that another client sends to this
        /// connection alone (which a rule's sender does not keep out), and every one before the
        /// owner is known, are left unread.
        bool ownersSignalsOnly = false;
    };

    struct Call {
        std::string path;
        std::string interface;
        std::string method;
        std::function<void(sdbus::MethodCall&)> arguments;
        std::chrono::microseconds timeout = std::chrono::seconds(25);
        /// Where the call goes: the service's name when empty.
        std::string destination;
    };

    /// Follows the service that owns `name` on `bus` (only the bus when `name` is empty), telling
    /// `client` on `queue`. Returns at once.
    static std::shared_ptr<BusService> make(Bus bus, std::string name, DispatchQueue queue, Client client);
    ~BusService();
    BusService(const BusService&) = delete;
    BusService& operator=(const BusService&) = delete;

    /// Calls a method and returns at once; what `reader` makes of the answer runs on the client's
    /// queue. Without a connection the reader reads an error, on the service's thread.
    void call(Call call, ReplyReader reader);
    /// Runs `work` on the service's thread with the connection joined (nullptr while there is
    /// none), then wakes the connection's thread: for what makes objects on the bus or waits for
    /// it. Blocks run in order.
    void perform(std::function<void(const std::shared_ptr<sdbus::IConnection>&)> work);

    /// Listens for the signals that `rule` matches on the connection joined now, until the
    /// returned token is let go of or the connection is lost; what `reader` makes of each runs on
    /// the client's queue, in order with the rest. Returns at once.
    [[nodiscard]] std::shared_ptr<void> listen(std::string rule, Reader reader);
    /// For a client that sends on a connection of its own (DBusConnection::separate): runs
    /// `sending` here and now, then has the connection's thread send what it left queued.
    static void sendOn(sdbus::IConnection& connection, const std::function<void()>& sending);
    /// Joins the bus anew at once when the environment names another address than the one
    /// joined. Cheap; any thread. Calls and performs do this themselves.
    void followAddress();

private:
    struct Pending {
        std::unique_ptr<sdbus::IProxy> proxy;
        std::function<void(sdbus::MethodReply*, const sdbus::Error*)> answered;  // on the connection's thread
    };

    BusService(Bus bus, std::string name, DispatchQueue queue, Client client);

    void join();
    void leave(std::uint64_t generation, bool lost);
    void failed(std::uint64_t generation);
    void retryLater();
    void ownerIs(std::uint64_t generation, const std::string& owner, bool first);
    void send(const std::shared_ptr<sdbus::IConnection>& connection, const Call& call,
              std::function<void(sdbus::MethodReply*, const sdbus::Error*)> answered);
    void settle(std::uint64_t id, sdbus::MethodReply* reply, const sdbus::Error* error);
    void tell(std::function<void()> block);
    /// A signal heard on the connection's thread: what `reader` makes of it goes to the client.
    void takeIn(const Reader& reader, sdbus::Message& message);
    /// Whether a signal heard on the connection's thread comes from the name's owner as that
    /// thread has heard of it.
    bool sentByOwner(const sdbus::Message& message);
    void tellOf(const std::string& address, std::function<void()> block);

    const Bus bus_;
    const std::string name_;
    const DispatchQueue queue_;  // the client's
    const DispatchQueue own_;    // the service's thread
    const Client client_;

    std::mutex mutex_;  // guards what follows; never held while sd-bus is called
    bool joining_ = true;
    bool toldLeft_ = false;
    std::uint64_t generation_ = 0;  // counts the joins begun
    std::uint64_t retries_ = 0;     // counts the rejoins planned, so that a later plan replaces one
    std::chrono::milliseconds pause_;
    std::string address_;
    std::shared_ptr<sdbus::IConnection> connection_;
    std::vector<sdbus::Slot> matches_;
    std::shared_ptr<void> lossWatch_;
    std::shared_ptr<void> socketWatch_;  // while the bus is away: its socket's folder watched
    bool ownerKnown_ = false;
    std::string owner_;
    std::uint64_t nextCall_ = 0;
    std::map<std::uint64_t, Pending> pending_;
};
