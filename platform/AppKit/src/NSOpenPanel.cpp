#include "AppKit/NSOpenPanel.hpp"

#include <mutex>

#include "Foundation/DispatchQueue.hpp"

namespace {
std::mutex& responderMutex() {
    static std::mutex mutex;
    return mutex;
}
NSOpenPanel::Responder& installedResponder() {
    static NSOpenPanel::Responder responder;
    return responder;
}
}  // namespace

void NSOpenPanel::setResponder(Responder responder) {
    std::lock_guard lock(responderMutex());
    installedResponder() = std::move(responder);
}

NSModalResponse NSOpenPanel::answer() {
    Responder responder;
    {
        std::lock_guard lock(responderMutex());
        responder = installedResponder();
    }
    Answer answer = responder ? responder(*this) : Answer{};
    urls_.clear();
    if (answer.response == NSModalResponseOK) {
        urls_ = std::move(answer.urls);
        if (!allowsMultipleSelection_ && urls_.size() > 1) urls_.erase(urls_.begin() + 1, urls_.end());
    }
    return answer.response;
}

NSModalResponse NSOpenPanel::runModal() {
    sheetWindow_.reset();
    return answer();
}

void NSOpenPanel::beginSheetModal(const std::shared_ptr<NSWindow>& window, std::function<void(NSModalResponse)> handler) {
    sheetWindow_ = window;
    auto self = shared_from_this();
    DispatchQueue::main().async([self, handler = std::move(handler)] {
        NSModalResponse response = self->answer();
        if (handler) handler(response);
    });
}
