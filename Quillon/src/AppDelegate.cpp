#include "Quillon/AppDelegate.hpp"

#include "AppKit/NSWindow.hpp"
#include "Foundation/Bundle.hpp"
#include "ZododuvoZoz/About.hpp"
#include "ZuzeDiv/Support.hpp"

namespace Quillon {

void AppDelegate::applicationDidFinishLaunching(const Notification&) {
    auto windows = NSApplication::shared().windows();
    if (!windows.empty()) windows.front()->setMovableByWindowBackground(true);
}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed(NSApplication&) { return true; }

void AppDelegate::aboutClicked(const Selector::Sender&) { showAbout(); }

void AppDelegate::helpClicked(const Selector::Sender&) { ZuzeDiv::Support::openContactPage(); }

void showAbout() {
    auto bundle = Bundle::main();
    const auto& info = bundle->infoDictionary();
    std::optional<PropertyListValue::Dictionary> dictionary;
    if (!info.empty()) dictionary = info;
    ZododuvoZoz::About::show(dictionary, bundle->localizedString("PRIVACY_POLICY", ""));
    NSApplication::shared().activate(true);
}

}  // namespace Quillon
