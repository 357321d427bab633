#include "AppKit/NSApplication.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AppKit/backends/GtkSettings.hpp"
#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/backends/SettingsPortal.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/NSWindowController.hpp"
#include "AppKit/WindowBackend.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/ProcessEnd.hpp"
#include "Foundation/PropertyList.hpp"

NSApplication& NSApplication::shared() {
    static NSApplication application;
    return application;
}

// Appearance.

void NSApplication::setAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    appearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

std::shared_ptr<NSAppearance> NSApplication::effectiveAppearance() const {
    return appearance_ ? appearance_ : systemAppearance();
}

std::shared_ptr<NSAppearance> NSApplication::systemAppearance() const {
    if (systemAppearance_) return systemAppearance_;
    // The user's explicit choice overrides the desktop's.
    if (const char* choice = std::getenv("QUILLON_APPEARANCE")) {
        if (std::string(choice) == "dark") return NSAppearance::named(NSAppearanceNameDarkAqua);
        if (std::string(choice) == "light") return NSAppearance::named(NSAppearanceNameAqua);
    }
    return desktopAppearance_ ? desktopAppearance_ : NSAppearance::named(NSAppearanceNameAqua);
}

void NSApplication::setSystemAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    systemAppearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

void NSApplication::setDesktopAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    desktopAppearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

void NSApplication::setAccentColor(const std::optional<CGColor>& color) {
    if (color == accentColor_) return;
    accentColor_ = color;
    for (const auto& window : windows()) window->setViewsNeedDisplay(true);
    NotificationCenter::defaultCenter().post(Notification{NSSystemColorsDidChangeNotification, nullptr, {}});
}

std::unique_ptr<SettingsPortal> NSApplication::followDesktopPreferences() {
    auto apply = [](const SettingsPortal::Preferences& preferences) {
        auto& app = NSApplication::shared();
        bool dark = preferences.prefersDark ? *preferences.prefersDark : GtkSettings::prefersDark();
        app.setDesktopAppearance(NSAppearance::named(dark ? NSAppearanceNameDarkAqua : NSAppearanceNameAqua));
        app.setAccentColor(preferences.accentColor);
    };
    auto portal = SettingsPortal::start(apply);
    apply(portal ? portal->preferences() : SettingsPortal::Preferences{});
    return portal;
}

void NSApplication::effectiveAppearanceMayHaveChanged() {
    for (const auto& window : windows()) window->effectiveAppearanceMayHaveChanged();
    // Status items are in no window: their buttons and views take the application's appearance.
    for (const auto& item : NSStatusBar::system().statusItems()) {
        if (auto button = item->button()) button->effectiveAppearanceMayHaveChanged();
        if (auto view = item->view()) view->effectiveAppearanceMayHaveChanged();
    }
}

// Windows.

std::vector<std::shared_ptr<NSWindow>> NSApplication::windows() const {
    std::erase_if(windows_, [](const auto& w) { return w.expired(); });
    std::vector<std::shared_ptr<NSWindow>> result;
    for (const auto& w : windows_) {
        if (auto window = w.lock()) result.push_back(window);
    }
    return result;
}

void NSApplication::addWindow(const std::shared_ptr<NSWindow>& window) { windows_.push_back(window); }

void NSApplication::windowDidShow(const std::shared_ptr<NSWindow>& window) {
    // Windows on screen are kept alive by the application, as a window system keeps them.
    if (std::find(onScreen_.begin(), onScreen_.end(), window) == onScreen_.end()) onScreen_.push_back(window);
    ensureLoopObserver();
}

void NSApplication::windowDidHide(NSWindow& window) {
    auto self = window.shared_from_this();
    std::erase(onScreen_, self);
    if (keyWindow_.lock() == self) {
        keyWindow_.reset();
        // The frontmost remaining window that can be key takes over.
        for (auto it = onScreen_.rbegin(); it != onScreen_.rend(); ++it) {
            if ((*it)->canBecomeKeyWindow()) {
                keyWindow_ = *it;
                break;
            }
        }
    }
}

void NSApplication::windowDidClose(NSWindow& window) {
    std::erase_if(windows_, [&](const auto& w) {
        auto locked = w.lock();
        return !locked || locked.get() == &window;
    });
    bool anyLeft = std::any_of(onScreen_.begin(), onScreen_.end(), [](const auto& w) { return w->isVisible(); });
    if (!anyLeft && shouldTerminateAfterLastWindowClosed()) {
        // After the close has returned, as the window system tells of it.
        RunLoop::main().perform([] { NSApplication::shared().terminate(nullptr); });
    }
}

void NSApplication::windowBecameKey(const std::shared_ptr<NSWindow>& window) {
    if (!window->canBecomeKeyWindow()) return;
    auto previous = keyWindow_.lock();
    keyWindow_ = window;
    // The key window is the frontmost of the list kept for ordering.
    std::erase(onScreen_, window);
    if (window->isVisible()) onScreen_.push_back(window);
    if (previous && previous != window) previous->setViewsNeedDisplay(true);
}

void NSApplication::setMainMenu(const std::shared_ptr<NSMenu>& menu) {
    mainMenu_ = menu;
    for (const auto& window : windows()) {
        window->placeViews();
        window->setViewsNeedDisplay(true);
    }
}

void NSApplication::activate(bool) {
    active_ = true;
    windowBackend()->activate();
}

// Actions.

bool NSApplication::sendAction(const Selector& action, const std::shared_ptr<NSResponder>& target,
                               const Selector::Sender& sender) {
    if (!action) return false;
    if (target) return action.send(*target, sender);
    std::vector<NSResponder*> chain;
    if (auto key = keyWindow()) {
        for (NSResponder* r = key->firstResponder(); r; r = r->nextResponder()) chain.push_back(r);
        chain.push_back(key.get());
        if (auto controller = key->windowController()) chain.push_back(controller.get());
        if (auto controller = key->contentViewController()) chain.push_back(controller.get());
    }
    chain.push_back(this);
    if (auto* responder = dynamic_cast<NSResponder*>(delegate_.get())) chain.push_back(responder);
    for (auto* responder : chain) {
        if (action.respondsTo(*responder)) return action.send(*responder, sender);
    }
    return false;
}

// Launching and the main loop.

bool NSApplication::finishLaunching() {
    auto bundle = Bundle::main();
    const auto* name = bundle->objectForInfoDictionaryKey(mainStoryboardFileKey);
    auto storyboardName = name ? name->stringValue() : std::nullopt;
    auto storyboard = storyboardName ? NSStoryboard::make(*storyboardName, bundle) : nullptr;
    if (!storyboard) return false;

    if (auto made = storyboard->instantiateController(applicationDelegateSceneIdentifier)) {
        if (auto delegate = std::dynamic_pointer_cast<NSApplicationDelegate>(made)) {
            delegate_ = delegate;
            launched_.push_back(made);
        }
    }
    Notification willFinish{"NSApplicationWillFinishLaunchingNotification", nullptr, {}};
    if (delegate_) delegate_->applicationWillFinishLaunching(willFinish);

    auto initial = storyboard->instantiateInitialController();
    if (!initial) return false;
    launched_.push_back(initial);
    if (auto windowController = std::dynamic_pointer_cast<NSWindowController>(initial)) {
        windowController->showWindow(nullptr);
    } else if (auto viewController = std::dynamic_pointer_cast<NSViewController>(initial)) {
        auto window = NSWindow::make(viewController);
        auto controller = std::make_shared<NSWindowController>(window);
        launched_.push_back(controller);
        controller->showWindow(nullptr);
    }

    Notification didFinish{NSApplicationDidFinishLaunchingNotification, nullptr, {}};
    if (delegate_) delegate_->applicationDidFinishLaunching(didFinish);
    NotificationCenter::defaultCenter().post(didFinish);
    return true;
}

void NSApplication::run() {
    if (terminated_) return;
    running_ = true;
    ensureLoopObserver();
    auto& loop = RunLoop::main();
    while (!terminated_) loop.run();
    running_ = false;
}

void NSApplication::terminate(const Selector::Sender&) {
    if (terminated_) return;
    Notification notification{NSApplicationWillTerminateNotification, nullptr, {}};
    if (delegate_) delegate_->applicationWillTerminate(notification);
    NotificationCenter::defaultCenter().post(notification);
    terminated_ = true;
    RunLoop::main().stop();
}

bool NSApplication::shouldTerminateAfterLastWindowClosed() {
    return delegate_ && delegate_->applicationShouldTerminateAfterLastWindowClosed(*this);
}

void NSApplication::updateWindows() {
    auto shown = onScreen_;
    for (const auto& window : shown) {
        // Drawing lays the window out first, then draws only what changed.
        if (window->isVisible()) window->displayIfNeeded();
    }
}

void NSApplication::ensureLoopObserver() {
    if (observerInstalled_) return;
    observerInstalled_ = true;
    RunLoop::main().addObserver([] { NSApplication::shared().updateWindows(); });
}

// Window backend.

std::shared_ptr<WindowBackend> NSApplication::windowBackend() {
    if (!backend_) backend_ = std::make_shared<HeadlessWindowBackend>();
    return backend_;
}

void NSApplication::setWindowBackend(const std::shared_ptr<WindowBackend>& backend) {
    backend_ = backend ? backend : std::make_shared<HeadlessWindowBackend>();
    RunLoop::main().setWaiter(backend_->waiter());
}

void NSApplication::reset() {
    delegate_.reset();
    for (const auto& window : windows()) window->close();
    for (const auto& window : std::vector<std::shared_ptr<NSWindow>>(onScreen_)) window->orderOut();
    onScreen_.clear();
    windows_.clear();
    keyWindow_.reset();
    delegate_.reset();
    mainMenu_.reset();
    desktopAppearance_.reset();
    accentColor_.reset();
    launched_.clear();
    active_ = false;
    running_ = false;
    terminated_ = false;
    if (backend_) backend_->shutdown();
    backend_.reset();
    RunLoop::main().setWaiter(nullptr);
}

int NSApplicationMain(int, char**) {
    auto& app = NSApplication::shared();
    auto backend = WindowBackend::makeForEnvironment();
    if (!backend) return 1;
    app.setWindowBackend(backend);
    auto desktopPreferences = app.followDesktopPreferences();
    if (!app.finishLaunching()) {
        std::fprintf(stderr, "The main storyboard could not be loaded.\n");
        backend->shutdown();
        return 1;
    }
    app.run();
    for (const auto& window : app.windows()) window->orderOut();
    backend->shutdown();
    const int status = backend->displayLost() ? 1 : 0;
    // Settings changed just before the end are written, what was handed to the buses is sent, and
    // no thread of ours is left to touch anything static while exit() ends the statics.
    ProcessEnd::run(status);
    return status;
}
