#include "AppKit/NSAlert.hpp"

#include <mutex>

#include "Foundation/DispatchQueue.hpp"

namespace {
std::mutex& responderMutex() {
    static std::mutex mutex;
    return mutex;
}
NSAlert::Responder& installedResponder() {
    static NSAlert::Responder responder;
    return responder;
}
}  // namespace

void NSAlert::setResponder(Responder responder) {
    std::lock_guard lock(responderMutex());
    installedResponder() = std::move(responder);
}

NSModalResponse NSAlert::answer() {
    if (buttonTitles_.empty()) buttonTitles_.push_back("OK");
    Responder responder;
    {
        std::lock_guard lock(responderMutex());
        responder = installedResponder();
    }
    return responder ? responder(*this) : NSAlertFirstButtonReturn;
}

NSModalResponse NSAlert::runModal() {
    sheetWindow_.reset();
    return answer();
}

void NSAlert::beginSheetModal(const std::shared_ptr<NSWindow>& window, std::function<void(NSModalResponse)> handler) {
    sheetWindow_ = window;
    auto self = shared_from_this();
    DispatchQueue::main().async([self, handler = std::move(handler)] {
        NSModalResponse response = self->answer();
        if (handler) handler(response);
    });
}
