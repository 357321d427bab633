#include "AppKit/backends/FileChooserPortal.hpp"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/backends/DBusConnection.hpp"

namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* chooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* requestInterface = "org.freedesktop.portal.Request";
constexpr std::uint32_t chosen = 0;
constexpr std::uint32_t cancelledByThePerson = 1;

using Results = std::map<std::string, sdbus::Variant>;

// The path at which the portal puts the request for `token` of the connection's caller; listening
// there before asking means no answer is missed.
std::string requestPath(const sdbus::IConnection& connection, const std::string& token) {
    std::string sender = connection.getUniqueName();
    if (!sender.empty() && sender.front() == ':') sender.erase(0, 1);
    for (auto& c : sender) {
        if (c == '.') c = '_';
    }
    return std::string(portalPath) + "/request/" + sender + "/" + token;
}

std::vector<URL> fileURLs(const Results& results) {
    std::vector<URL> urls;
    auto found = results.find("uris");
    if (found == results.end()) return urls;
    try {
        for (const auto& text : found->second.get<std::vector<std::string>>()) {
            if (auto url = URL::string(text); url && url->isFileURL()) urls.push_back(*url);
        }
    } catch (const sdbus::Error&) {
    }
    return urls;
}

// Where the portal is asked, and the bus objects of a question let go of, in order.
DispatchQueue& askings() {
    static auto* queue = new DispatchQueue("FileChooserPortal");
    return *queue;
}

// One question to the portal, from the call until its answer has been handed on.
struct Pending : std::enable_shared_from_this<Pending> {
    std::shared_ptr<sdbus::IConnection> connection;
    std::unique_ptr<sdbus::IProxy> portal;
    /// Empty while someone waits for the answer in place.
    FileChooserPortal::Completion completion;
    std::mutex mutex;
    sdbus::Slot response;
    bool finished = false;
    std::optional<std::vector<URL>> urls;
    std::string why;

    // Listens for the Response signal at `path`, in place of any earlier path. The question lives
    // as long as someone listens for its answer.
    void listen(const std::string& path) {
        std::shared_ptr<sdbus::IConnection> bus;
        {
            std::lock_guard lock(mutex);
            if (finished || !connection) return;
            bus = connection;
        }
        auto slot = bus->addMatch(
            "type='signal',sender='" + std::string(portalName) + "',interface='" + requestInterface +
                "',member='Response',path='" + path + "'",
            [self = shared_from_this()](sdbus::Message& message) {
                std::uint32_t code = 2;
                Results results;
                try {
                    message >> code >> results;
                } catch (const sdbus::Error&) {
                }
                if (code == chosen) {
                    self->finish(fileURLs(results), "");
                } else if (code == cancelledByThePerson) {
                    self->finish(std::nullopt, "");
                } else {
                    self->finish(std::nullopt, "the file chooser ended without a choice (response " + std::to_string(code) + ")");
                }
            });
        std::lock_guard lock(mutex);
        // Once answered nobody listens any more; the slot not kept goes outside the lock.
        if (!finished) std::swap(response, slot);
    }

    bool isFinished() {
        std::lock_guard lock(mutex);
        return finished;
    }

    // Keeps the first answer; with a completion, hands it on through the main queue.
    void finish(std::optional<std::vector<URL>> chosenURLs, std::string reason) {
        {
            std::lock_guard lock(mutex);
            if (finished) return;
            finished = true;
            urls = std::move(chosenURLs);
            why = std::move(reason);
            if (!completion) return;
        }
        DispatchQueue::main().async([self = shared_from_this()] {
            auto urls = self->conclude();
            if (self->completion) self->completion(urls);
        });
    }

    // On the main thread, once answered: says why nothing was chosen, has the bus objects let go
    // of off the main thread (letting go may wait for the bus, and is never done from inside one of
    // their own callbacks), and gives the answer.
    std::optional<std::vector<URL>> conclude() {
        if (!why.empty()) SystemLog::write("Open panel cancelled: " + why);
        askings().async([self = shared_from_this()] {
            sdbus::Slot listening;
            std::shared_ptr<sdbus::IConnection> bus;
            {
                std::lock_guard lock(self->mutex);
                std::swap(listening, self->response);
                std::swap(bus, self->connection);
            }
            listening.reset();
            self->portal.reset();
        });
        return urls;
    }

    void ask(const FileChooserPortal::Request& request);
};

void Pending::ask(const FileChooserPortal::Request& request) {
    static std::atomic<int> counter{0};
    {
        auto bus = DBusConnection::session();
        std::lock_guard lock(mutex);
        connection = std::move(bus);
    }
    if (!connection) {
        finish(std::nullopt, "no session bus to reach the desktop portal's file chooser");
        return;
    }
    const std::string token = "panel" + std::to_string(++counter);
    std::map<std::string, sdbus::Variant> options{
        {"handle_token", sdbus::Variant(token)},
        {"modal", sdbus::Variant(true)},
        {"multiple", sdbus::Variant(request.multiple)},
        {"directory", sdbus::Variant(request.directory)},
    };
    if (!request.acceptLabel.empty()) options["accept_label"] = sdbus::Variant(request.acceptLabel);
    if (request.currentFolder) {
        // A byte string with its terminating zero, as the portal reads paths. Portals before
        // xdg-desktop-portal 1.18 leave it out of OpenFile: their dialog opens where it likes.
        std::vector<std::uint8_t> bytes(request.currentFolder->begin(), request.currentFolder->end());
        bytes.push_back(0);
        options["current_folder"] = sdbus::Variant(bytes);
    }
    try {
        const std::string expected = requestPath(*connection, token);
        listen(expected);
        portal = sdbus::createProxy(*connection, portalName, portalPath);
        portal->callMethodAsync("OpenFile")
            .onInterface(chooserInterface)
            .withArguments(std::string(), request.title, options)
            .uponReplyInvoke([self = shared_from_this(), expected](const sdbus::Error* error, sdbus::ObjectPath handle) {
                if (error) {
                    self->finish(std::nullopt, "the desktop portal's file chooser does not answer (" + error->getName() +
                                                   ": " + error->getMessage() + ")");
                } else if (handle != expected) {
                    self->listen(handle);  // a portal older than request paths known in advance
                }
            });
    } catch (const sdbus::Error& error) {
        finish(std::nullopt, "the desktop portal's file chooser cannot be asked (" + error.getMessage() + ")");
    }
    DBusConnection::wake(*connection);
}

}  // namespace

// The portal is asked off the main thread: joining the session bus and listening there wait for
// the bus.
void FileChooserPortal::open(const Request& request, Completion completion) {
    auto pending = std::make_shared<Pending>();
    pending->completion = completion ? std::move(completion) : [](std::optional<std::vector<URL>>) {};
    askings().async([pending, request] { pending->ask(request); });
}

std::optional<std::vector<URL>> FileChooserPortal::choose(const Request& request, double timeout) {
    auto pending = std::make_shared<Pending>();
    askings().async([pending, request] { pending->ask(request); });
    if (!RunLoop::main().runUntil([&] { return pending->isFinished(); }, timeout)) {
        pending->finish(std::nullopt, "no answer from the desktop portal's file chooser in time");
    }
    return pending->conclude();
}
