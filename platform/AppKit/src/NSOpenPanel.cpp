#include "AppKit/NSOpenPanel.hpp"

#include <mutex>

#include "AppKit/backends/FileChooserPortal.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/RunLoop.hpp"

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

void NSOpenPanel::askTheDesktop(std::function<void(NSModalResponse)> answered) {
    auto self = shared_from_this();
    FileChooserPortal::Request request;
    request.title = message_;
    request.acceptLabel = prompt_;
    request.directory = canChooseDirectories_ && !canChooseFiles_;
    request.multiple = allowsMultipleSelection_;
    if (directoryURL_ && directoryURL_->isFileURL()) request.currentFolder = FileManager::hostPath(directoryURL_->path());
    FileChooserPortal::open(request, [self, answered = std::move(answered)](std::optional<std::vector<URL>> urls) {
        answered(self->take(urls ? Answer{NSModalResponseOK, std::move(*urls)} : Answer{}));
    });
}

NSModalResponse NSOpenPanel::runModal() {
    sheetWindow_.reset();
    if (auto installed = responder()) return take(installed(*this));
    std::optional<NSModalResponse> response;
    askTheDesktop([&response](NSModalResponse answer) { response = answer; });
    // The panel is modal: the main loop keeps running for the rest of the application until the
    // answer comes.
    RunLoop::main().runUntil([&response] { return response.has_value(); }, longestWait);
    return response.value_or(NSModalResponseCancel);
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
    askTheDesktop(answered);
}
