#include "StoreKit/ReviewPrompt.hpp"

#include <map>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSButton.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/URL.hpp"

namespace {

constexpr CGFloat width = 380, height = 118, margin = 20;

struct Texts {
    std::string headline, message, rate, later;
};

// The prompt's texts in the user's first language that has them, English otherwise; "%@" stands
// for the application's name.
Texts texts(const std::string& name) {
    static const std::map<std::string, Texts> byLanguage = {
        {"en", {"Enjoying %@?", "Would you rate it? It takes a moment and helps others find it.", "Rate %@", "Not Now"}},
        {"de", {"Gefällt Ihnen %@?", "Möchten Sie es bewerten? Das dauert nur einen Moment und hilft anderen, es zu finden.",
                "%@ bewerten", "Später"}},
    };
    Texts chosen = byLanguage.at("en");
    for (const auto& language : Locale::preferredLanguages()) {
        auto it = byLanguage.find(language.substr(0, 2));
        if (it != byLanguage.end()) {
            chosen = it->second;
            break;
        }
    }
    for (auto* text : {&chosen.headline, &chosen.rate}) {
        if (auto at = text->find("%@"); at != std::string::npos) text->replace(at, 2, name);
    }
    return chosen;
}

std::string applicationName() {
    auto bundle = Bundle::main();
    for (const char* key : {"CFBundleDisplayName", "CFBundleName"}) {
        if (const auto* value = bundle->objectForInfoDictionaryKey(key)) {
            if (auto name = value->stringValue(); name && !name->empty()) return *name;
        }
    }
    return "this application";
}

std::weak_ptr<NSWindow>& openPrompt() {
    static std::weak_ptr<NSWindow> window;
    return window;
}

void present() {
    if (auto open = openPrompt().lock(); open && open->isVisible()) return;
    auto name = applicationName();
    auto words = texts(name);
    auto window = NSWindow::make(CGRect{0, 0, width, height}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable());
    window->setTitle(name);
    auto content = window->contentView();

    auto headline = NSTextField::labelWithString(words.headline);
    headline->setFont(NSFont::boldSystemFont(14));
    headline->setFrame(CGRect{margin, height - margin - 20, width - 2 * margin, 20});
    auto message = NSTextField::wrappingLabelWithString(words.message);
    message->setFont(NSFont::systemFont(12));
    message->setFrame(CGRect{margin, height - margin - 20 - 38, width - 2 * margin, 36});

    std::weak_ptr<NSWindow> weak = window;
    auto rate = NSButton::make(words.rate, [weak](NSControl&) {
        if (auto address = ReviewPrompt::pageAddress()) {
            if (auto url = URL::string(*address)) NSWorkspace::shared().open(*url);
        }
        if (auto shown = weak.lock()) shown->close();
    });
    auto later = NSButton::make(words.later, [weak](NSControl&) {
        if (auto shown = weak.lock()) shown->close();
    });
    // The buttons at the bottom right, the rate button rightmost.
    CGFloat right = width - margin;
    for (const auto& button : {rate, later}) {
        CGSize size = button->fittingSize();
        button->setFrame(CGRect{right - size.width, 14, size.width, size.height});
        right -= size.width + 10;
    }
    for (const auto& view : std::vector<std::shared_ptr<NSView>>{headline, message, later, rate}) content->addSubview(view);

    window->center();
    openPrompt() = window;
    window->makeKeyAndOrderFront(nullptr);
    NSApplication::shared().activate(true);
}

}  // namespace

void ReviewPrompt::show() {
    DispatchQueue::main().async(present);
}

std::shared_ptr<NSWindow> ReviewPrompt::window() {
    auto window = openPrompt().lock();
    return window && window->isVisible() ? window : nullptr;
}

std::optional<std::string> ReviewPrompt::pageAddress() {
    auto identifier = Bundle::main()->bundleIdentifier();
    if (!identifier || identifier->empty()) return std::nullopt;
    return "appstream://" + *identifier;
}
