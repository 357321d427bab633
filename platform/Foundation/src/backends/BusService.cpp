#include "Foundation/backends/BusService.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "BusSocketWatch.hpp"
#include "Foundation/ProcessEnd.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto firstPause = 100ms;  // a bus that restarts is usually back this soon
constexpr auto longestPause = 5000ms;
constexpr auto ownerTimeout = 5s;
constexpr const char* busName = "org.freedesktop.DBus";
constexpr const char* busPath = "/org/freedesktop/DBus";

sdbus::Error notJoined() { return sdbus::Error("org.freedesktop.DBus.Error.Disconnected", "The bus is not joined"); }

// A bus whose daemon has not answered a join for this long is taken for one that does not answer.
constexpr auto silentAfter = std::chrono::seconds(1);
// How often the end of the process looks again at what is left to do: a join may meanwhile have
// waited too long.
constexpr auto lookAgain = std::chrono::milliseconds(10);

// Per service: what its client has handed over (calls, work on the connection) that its thread has
// not done yet, and since when its join waits for the bus's daemon.
struct Handed {
    struct Service {
        std::uint64_t handed = 0;
        std::optional<ProcessEnd::Clock::time_point> joiningSince;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::map<const BusService*, Service> services;

    template <class Change>
    void change(const BusService* service, Change change) {
        std::lock_guard lock(mutex);
        auto& counted = services[service];
        change(counted);
        if (counted.handed == 0 && !counted.joiningSince) services.erase(service);
        changed.notify_all();
    }
};

Handed& handed() {
    static auto* made = new Handed();  // lives as long as the process
    return *made;
}

// One thing handed to a service, counted for as long as it lives: until it is done, or dropped.
class HandedOver {
public:
    explicit HandedOver(const BusService* service) : service_(service) {
        handed().change(service_, [](Handed::Service& counted) { ++counted.handed; });
    }
    ~HandedOver() {
        handed().change(service_, [](Handed::Service& counted) { --counted.handed; });
    }
    HandedOver(const HandedOver&) = delete;
    HandedOver& operator=(const HandedOver&) = delete;

private:
    const BusService* service_;
};

// A join of a service that waits for the bus's daemon.
class Joining {
public:
    explicit Joining(const BusService* service) : service_(service) {
        handed().change(service_, [](Handed::Service& counted) { counted.joiningSince = ProcessEnd::Clock::now(); });
    }
    ~Joining() {
        handed().change(service_, [](Handed::Service& counted) { counted.joiningSince.reset(); });
    }
    Joining(const Joining&) = delete;
    Joining& operator=(const Joining&) = delete;

private:
    const BusService* service_;
};

// The end of the process: what was handed over is done, within the end's time, before the buses'
// threads send what is queued and end; what waits behind a join that its bus's daemon does not
// answer is not waited for.
bool doWhatWasHanded(ProcessEnd::Clock::time_point deadline) {
    auto& all = handed();
    std::unique_lock lock(all.mutex);
    auto done = [&] {
        const auto now = ProcessEnd::Clock::now();
        return std::all_of(all.services.begin(), all.services.end(), [&](const auto& entry) {
            const auto& counted = entry.second;
            return counted.handed == 0 || (counted.joiningSince && now - *counted.joiningSince > silentAfter);
        });
    };
    while (!done() && ProcessEnd::Clock::now() < deadline) {
        all.changed.wait_until(lock, std::min(deadline, ProcessEnd::Clock::now() + lookAgain));
    }
    return true;  // no thread of its own
}

}  // namespace

std::shared_ptr<BusService> BusService::make(Bus bus, std::string name, DispatchQueue queue, Client client) {
    std::shared_ptr<BusService> service(new BusService(bus, std::move(name), std::move(queue), std::move(client)));
    // Here, not on the thread that joins: the process may end meanwhile.
    DBusConnection::prepare();
    ProcessEnd::add(ProcessEnd::Stage::busSends, doWhatWasHanded);
    service->own_.async([weak = std::weak_ptr<BusService>(service)] {
        if (auto self = weak.lock()) self->join();
    });
    return service;
}

BusService::BusService(Bus bus, std::string name, DispatchQueue queue, Client client)
    : bus_(bus), name_(std::move(name)), queue_(std::move(queue)), own_("BusService " + name_),
      client_(std::move(client)), pause_(firstPause) {}

BusService::~BusService() {
    // What lives on the bus is let go of on the service's thread: letting go may wait for sd-bus,
    // and the last owner may be the main thread. Matches go before their connection.
    struct Remains {
        std::vector<sdbus::Slot> matches;
        std::map<std::uint64_t, Pending> pending;
        std::shared_ptr<void> lossWatch;
        std::shared_ptr<sdbus::IConnection> connection;
    };
    auto remains = std::make_shared<Remains>();
    std::shared_ptr<void> socketWatch;
    {
        std::lock_guard lock(mutex_);
        socketWatch = std::move(socketWatch_);
        remains->matches = std::move(matches_);
        remains->pending = std::move(pending_);
        remains->lossWatch = std::move(lossWatch_);
        remains->connection = std::move(connection_);
    }
    own_.async([remains]() mutable { remains.reset(); });
}

void BusService::tell(std::function<void()> block) {
    if (!block) return;
    queue_.async([weak = weak_from_this(), block = std::move(block)] {
        if (weak.lock()) block();
    });
}

void BusService::tellOf(const std::string& address, std::function<void()> block) {
    if (!client_.heard) return tell(std::move(block));
    tell([heard = client_.heard, address, block = std::move(block)] {
        heard(address);
        block();
    });
}

void BusService::takeIn(const Reader& reader, sdbus::Message& message) {
    std::function<void()> block;
    try {
        block = reader(message);
    } catch (const sdbus::Error&) {
        return;  // a message that does not read as documented is left alone
    }
    tell(std::move(block));
}

bool BusService::sentByOwner(const sdbus::Message& message) {
    const std::string sender = message.getSender();
    // The owner as this thread has heard of it, in order with the signals.
    std::lock_guard lock(mutex_);
    return ownerKnown_ && sender == owner_;
}

void BusService::join() {
    const auto address = DBusConnection::address(bus_);
    std::uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        joining_ = true;
        address_ = address;
        generation = ++generation_;
        ownerKnown_ = false;
        owner_.clear();
    }
    auto connection = [this] {
        Joining joining(this);
        return DBusConnection::shared(bus_);
    }();
    if (!connection) return failed(generation);

    std::weak_ptr<BusService> weak = weak_from_this();
    auto on = [weak, generation, ownersOnly = client_.ownersSignalsOnly](const Reader& reader) {
        return [weak, generation, ownersOnly, reader](sdbus::Message& message) {
            auto self = weak.lock();
            if (!self) return;
            {
                std::lock_guard lock(self->mutex_);
                if (generation != self->generation_) return;
            }
            if (ownersOnly && !self->sentByOwner(message)) return;
            self->takeIn(reader, message);
        };
    };
    std::vector<sdbus::Slot> matches;
    std::shared_ptr<void> lossWatch;
    std::shared_ptr<void> socketWatch;
    try {
        if (!name_.empty()) {
            matches.push_back(connection->addMatch(
                std::string("type='signal',sender='") + busName + "',path='" + busPath + "',interface='" + busName +
                    "',member='NameOwnerChanged',arg0='" + name_ + "'",
                [weak, generation](sdbus::Message& message) {
                    std::string name, before, now;
                    try {
                        message >> name >> before >> now;
                    } catch (const sdbus::Error&) {
                        return;
                    }
                    if (auto self = weak.lock()) self->ownerIs(generation, now, false);
                }));
        }
        for (const auto& [rule, reader] : client_.matches) matches.push_back(connection->addMatch(rule, on(reader)));
    } catch (const sdbus::Error&) {
        // The bus went away while it was joined.
        matches.clear();
        DBusConnection::wake(*connection);
        connection.reset();
        return failed(generation);
    }
    lossWatch = DBusConnection::whenLost(*connection, [weak, generation] {
        if (auto self = weak.lock()) {
            self->own_.async([weak, generation] {
                if (auto self = weak.lock()) self->leave(generation, true);
            });
        }
    });
    {
        std::lock_guard lock(mutex_);
        if (generation == generation_) {
            std::swap(matches_, matches);
            std::swap(lossWatch_, lossWatch);
            connection_ = connection;
            joining_ = false;
            toldLeft_ = false;
            pause_ = firstPause;
            socketWatch = std::move(socketWatch_);
        }
    }
    socketWatch.reset();
    matches.clear();  // those of a join overtaken meanwhile
    DBusConnection::wake(*connection);

    if (name_.empty()) return ownerIs(generation, "", true);
    Call ask{busPath, busName, "GetNameOwner", [name = name_](sdbus::MethodCall& call) { call << name; }, ownerTimeout,
             busName};
    send(connection, ask, [weak, generation](sdbus::MethodReply* reply, const sdbus::Error*) {
        std::string owner;  // an error says that nothing owns the name
        if (reply) {
            try {
                *reply >> owner;
            } catch (const sdbus::Error&) {
                owner.clear();
            }
        }
        if (auto self = weak.lock()) self->ownerIs(generation, owner, true);
    });
}

void BusService::ownerIs(std::uint64_t generation, const std::string& owner, bool first) {
    std::string address;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
        // Until the first answer, changes are older than it.
        if (!first && (!ownerKnown_ || owner == owner_)) return;
        ownerKnown_ = true;
        owner_ = owner;
        address = address_;
    }
    if (first) {
        if (client_.joined) tellOf(address, [joined = client_.joined, owner] { joined(owner); });
    } else if (client_.ownerChanged) {
        tell([changed = client_.ownerChanged, owner] { changed(owner); });
    }
}

void BusService::failed(std::uint64_t generation) {
    bool tellLeft = false;
    std::string address;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
        joining_ = false;
        tellLeft = !toldLeft_;
        toldLeft_ = true;
        address = address_;
    }
    if (tellLeft && client_.left) tellOf(address, client_.left);
    retryLater();
}

void BusService::leave(std::uint64_t generation, bool lost) {
    std::vector<sdbus::Slot> matches;
    std::map<std::uint64_t, Pending> pending;
    std::shared_ptr<void> lossWatch;
    std::shared_ptr<sdbus::IConnection> connection;
    std::string address;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || !connection_) return;
        ++generation_;
        address = address_;
        matches = std::move(matches_);
        pending = std::move(pending_);
        lossWatch = std::move(lossWatch_);
        connection = std::move(connection_);
        toldLeft_ = true;
    }
    // Letting go of a match waits for its callback to return: nothing of this connection reaches
    // the client after the calls' failures and its left().
    matches.clear();
    const auto error = notJoined();
    for (auto& [id, call] : pending) call.answered(nullptr, &error);
    pending.clear();
    lossWatch.reset();
    if (connection) DBusConnection::wake(*connection);
    connection.reset();
    if (client_.left) tellOf(address, client_.left);
    if (lost) {
        std::lock_guard lock(mutex_);
        pause_ = firstPause;
    }
    retryLater();
}

void BusService::retryLater() {
    std::chrono::milliseconds pause;
    std::uint64_t retry;
    std::string address;
    {
        std::lock_guard lock(mutex_);
        pause = pause_;
        pause_ = std::min(pause_ * 2, longestPause);
        retry = ++retries_;
        address = address_;
    }
    // Joins unless something else has meanwhile (a later retry, a join that succeeded).
    auto rejoin = [weak = weak_from_this(), retry](bool appeared) {
        auto self = weak.lock();
        if (!self) return;
        {
            std::lock_guard lock(self->mutex_);
            if (retry != self->retries_ || self->connection_) return;
            // A daemon that made its socket may not take connections for a moment yet.
            if (appeared) self->pause_ = firstPause;
        }
        self->join();
    };
    // Where the bus is a socket file, it is joined as soon as its daemon makes the socket; while a
    // socket is there that took no connection (its daemon ended without removing it, or is
    // starting), and for an address that names no file, it is looked for after the pause. While
    // the socket is awaited nothing runs on a timer: the service's thread ends when idle, and a
    // rejoin that finds no thread to start when the socket appears (at the process's limit of
    // threads) is queued again, the queue's next chance to start one, each time the watch tells
    // again, until one has begun.
    const auto socket = BusSocketWatch::socketPath(bus_, address);
    auto begun = std::make_shared<std::atomic<bool>>(false);
    auto watch = socket ? BusSocketWatch::watch(*socket,
                                                [queue = own_, rejoin, begun] {
                                                    if (*begun) return true;
                                                    queue.async([rejoin, begun] {
                                                        *begun = true;
                                                        rejoin(true);
                                                    });
                                                    return false;
                                                })
                        : nullptr;
    const bool watched = watch != nullptr;
    {
        std::lock_guard lock(mutex_);
        std::swap(socketWatch_, watch);
    }
    watch.reset();
    std::error_code error;
    if (watched && !std::filesystem::exists(*socket, error)) return;
    own_.asyncAfter(std::chrono::duration<double>(pause).count(), [rejoin] { rejoin(false); });
}

void BusService::followAddress() {
    {
        std::lock_guard lock(mutex_);
        if (joining_ || address_ == DBusConnection::address(bus_)) return;
        joining_ = true;  // until the join below has ended
        ++retries_;       // a rejoin planned is overtaken
    }
    own_.async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        std::uint64_t generation;
        {
            std::lock_guard lock(self->mutex_);
            generation = self->generation_;
        }
        self->leave(generation, false);
        {
            std::lock_guard lock(self->mutex_);
            ++self->retries_;  // the join is now
            self->pause_ = firstPause;
            self->toldLeft_ = false;  // a bus at the new address that cannot be joined is told of
        }
        self->join();
    });
}

void BusService::send(const std::shared_ptr<sdbus::IConnection>& connection, const Call& call,
                      std::function<void(sdbus::MethodReply*, const sdbus::Error*)> answered) {
    std::unique_ptr<sdbus::IProxy> proxy;
    std::optional<sdbus::MethodCall> message;
    try {
        proxy = sdbus::createProxy(*connection, call.destination.empty() ? name_ : call.destination, call.path);
        message = proxy->createMethodCall(call.interface, call.method);
        if (call.arguments) call.arguments(*message);
    } catch (const sdbus::Error& error) {
        return answered(nullptr, &error);
    }
    auto* raw = proxy.get();
    std::uint64_t id;
    {
        std::lock_guard lock(mutex_);
        id = ++nextCall_;
        pending_.emplace(id, Pending{std::move(proxy), std::move(answered)});
    }
    try {
        raw->callMethod(
            *message,
            [weak = weak_from_this(), id](sdbus::MethodReply& reply, const sdbus::Error* error) {
                if (auto self = weak.lock()) self->settle(id, error ? nullptr : &reply, error);
            },
            call.timeout);
    } catch (const sdbus::Error& error) {
        settle(id, nullptr, &error);
    }
    DBusConnection::wake(*connection);
}

void BusService::settle(std::uint64_t id, sdbus::MethodReply* reply, const sdbus::Error* error) {
    Pending call;
    {
        std::lock_guard lock(mutex_);
        auto found = pending_.find(id);
        if (found == pending_.end()) return;  // answered already as the connection was left
        call = std::move(found->second);
        pending_.erase(found);
    }
    call.answered(reply, error);
    // The proxy goes on the service's thread, once its callback has returned.
    own_.async([proxy = std::shared_ptr<sdbus::IProxy>(std::move(call.proxy))]() mutable { proxy.reset(); });
}

void BusService::call(Call call, ReplyReader reader) {
    followAddress();
    own_.async([weak = weak_from_this(), call = std::move(call), reader = std::move(reader),
                handed = std::make_shared<HandedOver>(this)] {
        auto self = weak.lock();
        if (!self) return;
        auto answered = [weak, reader](sdbus::MethodReply* reply, const sdbus::Error* error) {
            std::function<void()> block;
            try {
                block = reader(reply, error);
            } catch (const sdbus::Error& wrong) {
                block = reader(nullptr, &wrong);  // an answer that does not read as documented
            }
            if (auto self = weak.lock()) self->tell(std::move(block));
        };
        std::shared_ptr<sdbus::IConnection> connection;
        {
            std::lock_guard lock(self->mutex_);
            connection = self->connection_;
        }
        if (!connection) {
            const auto error = notJoined();
            return answered(nullptr, &error);
        }
        self->send(connection, call, answered);
    });
}

void BusService::perform(std::function<void(const std::shared_ptr<sdbus::IConnection>&)> work) {
    followAddress();
    own_.async([weak = weak_from_this(), work = std::move(work), handed = std::make_shared<HandedOver>(this)] {
        auto self = weak.lock();
        if (!self) return;
        std::shared_ptr<sdbus::IConnection> connection;
        {
            std::lock_guard lock(self->mutex_);
            connection = self->connection_;
        }
        work(connection);
        if (connection) DBusConnection::wake(*connection);
    });
}

std::shared_ptr<void> BusService::listen(std::string rule, Reader reader) {
    // The match lives on the service's thread: made and let go of there (both wait for the bus).
    struct Listening {
        std::shared_ptr<sdbus::IConnection> connection;  // outlives the match
        sdbus::Slot slot;
    };
    auto listening = std::make_shared<Listening>();
    followAddress();
    own_.async([weak = weak_from_this(), listening, rule = std::move(rule), reader = std::move(reader)] {
        auto self = weak.lock();
        if (!self) return;
        std::shared_ptr<sdbus::IConnection> connection;
        {
            std::lock_guard lock(self->mutex_);
            connection = self->connection_;
        }
        if (!connection) return;
        listening->connection = connection;
        try {
            listening->slot = connection->addMatch(rule, [weak, reader](sdbus::Message& message) {
                auto self = weak.lock();
                if (!self || (self->client_.ownersSignalsOnly && !self->sentByOwner(message))) return;
                self->takeIn(reader, message);
            });
        } catch (const sdbus::Error&) {
        }
        DBusConnection::wake(*connection);
    });
    return std::shared_ptr<void>(listening.get(), [weak = weak_from_this(), listening](void*) mutable {
        auto self = weak.lock();
        if (!self) return;
        self->own_.async([listening = std::move(listening)]() mutable { listening.reset(); });
    });
}

void BusService::sendOn(sdbus::IConnection& connection, const std::function<void()>& sending) {
    sending();
    DBusConnection::wake(connection);
}
