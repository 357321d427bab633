#include "Quillon/WindowController.hpp"

#include "AppKit/NSApplication.hpp"
#include "CoreGraphics/CGWindowLevel.hpp"
#include "Foundation/UserDefaults.hpp"
#include "Quillon/AppDelegate.hpp"
#include "Quillon/Settings.hpp"

namespace Quillon {

void WindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    if (auto item = about.lock()) item->setBordered(true);
    if (auto control = keepInFront.lock()) control->setSelectedSegment(Settings::keepInFront() ? inFrontSegment : normalSegment);
    applyWindowLevel();
}

void WindowController::keepInFrontChanged(const Selector::Sender&) {
    bool flipped = !UserDefaults::standard().boolForKey(Settings::keepInFrontKey);
    Settings::setKeepInFront(flipped);
    UserDefaults::standard().set(flipped, Settings::keepInFrontKey);
    applyWindowLevel();
}

void WindowController::aboutClicked(const Selector::Sender&) { showAbout(); }

void applyWindowLevel() {
    auto windows = NSApplication::shared().windows();
    if (windows.empty()) return;
    auto window = windows.front();
    if (Settings::keepInFront()) {
        window->makeKeyAndOrderFront(nullptr);
        window->setLevel(CGWindowLevelForKey(CGWindowLevelKey::floatingWindow));
    } else {
        window->setLevel(CGWindowLevelForKey(CGWindowLevelKey::normalWindow));
    }
}

}  // namespace Quillon
