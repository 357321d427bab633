#include "AppKit/NSOpenPanel.hpp"

#include <map>
#include <mutex>

#include "AppKit/backends/FileChooserPortal.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/Locale.hpp"

namespace {
// A year: a modal panel waits for its answer as long as the person takes.
constexpr double longestWait = 365.0 * 24 * 3600;

std::mutex& responderMutex() {
    static std::mutex mutex;
    return mutex;
}
NSOpenPanel::Responder& installedResponder() {
    static NSOpenPanel::Responder responder;
    return responder;
}
NSOpenPanel::Responder responder() {
    std::lock_guard lock(responderMutex());
    return installedResponder();
}

// The title of a panel whose caller gave it none, in the user's first language that has one.
std::string titleOfItsOwn(bool choosesFolders) {
    struct Titles {
        const char* files;
        const char* folders;
    };
    static const std::map<std::string, Titles> byLanguage{
        {"en", {"Open", "Choose a Folder"}},
        {"de", {"Öffnen", "Ordner auswählen"}},
    };
    Titles titles = byLanguage.at("en");
    for (const auto& language : Locale::preferredLanguages()) {
        if (auto found = byLanguage.find(language.substr(0, 2)); found != byLanguage.end()) {
            titles = found->second;
            break;
        }
    }
    return choosesFolders ? titles.folders : titles.files;
}

// The panel as the desktop's file chooser is asked for it.
FileChooserPortal::Request portalRequest(const NSOpenPanel& panel) {
    FileChooserPortal::Request request;
    request.directory = panel.canChooseDirectories() && !panel.canChooseFiles();
    request.title = !panel.title().empty()     ? panel.title()
                    : !panel.message().empty() ? panel.message()
                                               : titleOfItsOwn(request.directory);
    request.acceptLabel = panel.prompt();
    request.multiple = panel.allowsMultipleSelection();
    if (const auto& folder = panel.directoryURL(); folder && folder->isFileURL()) {
        request.currentFolder = FileManager::hostPath(folder->path());
    }
    return request;
}

NSOpenPanel::Answer answerOf(std::optional<std::vector<URL>> chosen) {
    return chosen ? NSOpenPanel::Answer{NSModalResponseOK, std::move(*chosen)} : NSOpenPanel::Answer{};
}
}  // namespace

void NSOpenPanel::setResponder(Responder responder) {
    std::lock_guard lock(responderMutex());
    installedResponder() = std::move(responder);
}

NSModalResponse NSOpenPanel::take(Answer answer) {
    urls_.clear();
    if (answer.response == NSModalResponseOK) {
        urls_ = std::move(answer.urls);
        if (!allowsMultipleSelection_ && urls_.size() > 1) urls_.erase(urls_.begin() + 1, urls_.end());
    }
    return answer.response;
}

NSModalResponse NSOpenPanel::runModal() {
    sheetWindow_.reset();
    if (auto installed = responder()) return take(installed(*this));
    // The panel is modal: the application's timers and drawing go on until the answer comes.
    return take(answerOf(FileChooserPortal::choose(portalRequest(*this), longestWait)));
}

void NSOpenPanel::beginSheetModal(const std::shared_ptr<NSWindow>& window, std::function<void(NSModalResponse)> handler) {
    sheetWindow_ = window;
    auto answered = [handler = std::move(handler)](NSModalResponse response) {
        if (handler) handler(response);
    };
    if (auto installed = responder()) {
        DispatchQueue::main().async([self = shared_from_this(), installed, answered] { answered(self->take(installed(*self))); });
        return;
    }
    FileChooserPortal::open(portalRequest(*this), [self = shared_from_this(), answered](std::optional<std::vector<URL>> chosen) {
        answered(self->take(answerOf(std::move(chosen))));
    });
}
