#include "AppKit/backends/FileChooserPortal.hpp"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include <sdbus-c++/sdbus-c++.h>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/backends/BusService.hpp"

namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* chooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* requestInterface = "org.freedesktop.portal.Request";
constexpr std::uint32_t chosen = 0;
// The person closed the dialog: with its cancel button (1), or otherwise, such as with Escape (2).
constexpr std::uint32_t cancelledByThePerson = 1;
constexpr std::uint32_t closedByThePerson = 2;

using Results = std::map<std::string, sdbus::Variant>;

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

// The portal as every question reaches it, telling on a queue of its own; lives as long as the
// process. Answers are heard from the portal itself, not from another client, also where one is
// sent to this connection alone.
BusService& portal() {
    static auto* portal = new std::shared_ptr<BusService>(BusService::make(
        BusService::Bus::session, portalName, DispatchQueue("FileChooserPortal"), {.ownersSignalsOnly = true}));
    return **portal;
}

// One question to the portal, from the call until its answer has been handed on.
struct Pending : std::enable_shared_from_this<Pending> {
    /// Empty while someone waits for the answer in place.
    FileChooserPortal::Completion completion;
    std::mutex mutex;
    std::shared_ptr<void> listening;
    std::string token;
    std::string handle;  // the request's path as the portal gave it
    bool finished = false;
    std::optional<std::vector<URL>> urls;
    std::string why;

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

    // On the main thread, once answered: says why nothing was chosen, stops listening and gives the
    // answer.
    std::optional<std::vector<URL>> conclude() {
        if (!why.empty()) SystemLog::write("Open panel cancelled: " + why);
        std::shared_ptr<void> listened;
        {
            std::lock_guard lock(mutex);
            std::swap(listened, listening);
        }
        return urls;
    }

    // The portal's answer at `path`, when it is this question's: the request's path ends in the
    // question's token, or is the one the portal gave (portals older than paths known in advance).
    void answered(const std::string& path, std::optional<std::uint32_t> code, const Results& results) {
        const std::string ending = "/" + token;
        const bool ours = (path.size() > ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0) ||
                          path == handle;
        if (!ours) return;
        if (!code) {
            finish(std::nullopt, "the file chooser's answer does not read as documented");
        } else if (*code == chosen) {
            finish(fileURLs(results), "");
        } else if (*code == cancelledByThePerson || *code == closedByThePerson) {
            finish(std::nullopt, "");
        } else {
            finish(std::nullopt, "the file chooser ended without a choice (response " + std::to_string(*code) + ")");
        }
    }

    void ask(const FileChooserPortal::Request& request);
};

void Pending::ask(const FileChooserPortal::Request& request) {
    static std::atomic<int> counter{0};
    token = "panel" + std::to_string(++counter);
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
    // Listening before asking means no answer is missed.
    auto listened = portal().listen(
        "type='signal',sender='" + std::string(portalName) + "',interface='" + requestInterface + "',member='Response'",
        [self = shared_from_this()](sdbus::Message& message) -> std::function<void()> {
            std::optional<std::uint32_t> code;
            Results results;
            try {
                std::uint32_t read = 0;
                message >> read >> results;
                code = read;
            } catch (const sdbus::Error&) {
            }
            return [self, path = std::string(message.getPath()), code, results] { self->answered(path, code, results); };
        });
    {
        std::lock_guard lock(mutex);
        listening = std::move(listened);
    }
    portal().call({portalPath, chooserInterface, "OpenFile",
                   [title = request.title, options](sdbus::MethodCall& call) { call << std::string() << title << options; }},
                  [self = shared_from_this()](sdbus::MethodReply* reply, const sdbus::Error* error) -> std::function<void()> {
                      if (error) {
                          return [self, why = "the desktop portal's file chooser does not answer (" + error->getName() + ": " +
                                              error->getMessage() + ")"] { self->finish(std::nullopt, why); };
                      }
                      sdbus::ObjectPath handle;
                      *reply >> handle;
                      return [self, handle = std::string(handle)] { self->handle = handle; };
                  });
}

}  // namespace

void FileChooserPortal::open(const Request& request, Completion completion) {
    auto pending = std::make_shared<Pending>();
    pending->completion = completion ? std::move(completion) : [](std::optional<std::vector<URL>>) {};
    pending->ask(request);
}

std::optional<std::vector<URL>> FileChooserPortal::choose(const Request& request, double timeout) {
    auto pending = std::make_shared<Pending>();
    pending->ask(request);
    if (!RunLoop::main().runUntil([&] { return pending->isFinished(); }, timeout)) {
        pending->finish(std::nullopt, "no answer from the desktop portal's file chooser in time");
    }
    return pending->conclude();
}
