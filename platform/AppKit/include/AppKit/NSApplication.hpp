#pragma once
// The application object: its delegate, its windows, its main menu, its appearance and the main
// loop. The system's own appearance (the user's choice of light or dark) comes from, in this order:
// an appearance set here, the environment (QUILLON_APPEARANCE=dark or light), the desktop's
// preference (the settings portal, followed while the application runs, else the user's GTK
// settings), and Aqua. The desktop's accent colour, where it gives one, is the control accent
// colour.
//
// Starting: NSApplicationMain(argc, argv) reads the name of the main storyboard from the main
// bundle's information ("NSMainStoryboardFile"), makes the application delegate from the scene
// "ApplicationDelegate" of that storyboard (a responder that is also an NSApplicationDelegate),
// instantiates the storyboard's initial controller (a window controller, or a view controller that
// gets a window of its own), shows its window, tells the delegate that launching finished and runs
// the main loop until the application terminates; it then returns the exit status, 0.
//
// The main loop (RunLoop::main()) fires due timers, runs the blocks posted to the main queue,
// delivers the window system's events, lays out and draws the windows on screen that need it, and
// sleeps until the next timer or event.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSResponder.hpp"
#include "AppKit/Selector.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "Foundation/NotificationCenter.hpp"

class NSMenu;
class NSWindow;
class NSWindowController;
class SettingsPortal;
class WindowBackend;

class NSApplication;

/// What the application tells the object that looks after it.
class NSApplicationDelegate {
public:
    virtual ~NSApplicationDelegate() = default;
    virtual void applicationWillFinishLaunching(const Notification&) {}
    virtual void applicationDidFinishLaunching(const Notification&) {}
    /// Whether closing the last window ends the application; no by default.
    virtual bool applicationShouldTerminateAfterLastWindowClosed(NSApplication&) { return false; }
    virtual void applicationWillTerminate(const Notification&) {}
};

inline const char* const NSApplicationDidFinishLaunchingNotification = "NSApplicationDidFinishLaunchingNotification";
inline const char* const NSApplicationWillTerminateNotification = "NSApplicationWillTerminateNotification";
/// Posted on the default centre when the system's colours (the accent colour) changed.
inline const char* const NSSystemColorsDidChangeNotification = "NSSystemColorsDidChangeNotification";

class NSApplication : public NSResponder {
public:
    /// The scene of the main storyboard that makes the application delegate.
    static constexpr const char* applicationDelegateSceneIdentifier = "ApplicationDelegate";
    /// The information key naming the main storyboard.
    static constexpr const char* mainStoryboardFileKey = "NSMainStoryboardFile";

    static NSApplication& shared();

    // Appearance.
    /// The application's own appearance; nullptr follows the system's.
    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);
    std::shared_ptr<NSAppearance> effectiveAppearance() const;
    /// The system's appearance: as set, else the environment's (QUILLON_APPEARANCE=dark or light),
    /// else the desktop's, else Aqua. Windows and views hear of a change.
    std::shared_ptr<NSAppearance> systemAppearance() const;
    void setSystemAppearance(const std::shared_ptr<NSAppearance>& appearance);
    /// The desktop's light or dark preference; nullptr when it has none.
    std::shared_ptr<NSAppearance> desktopAppearance() const { return desktopAppearance_; }
    void setDesktopAppearance(const std::shared_ptr<NSAppearance>& appearance);
    /// The desktop's accent colour, shown by NSColor::controlAccentColor(); none: the platform's
    /// own blue. A change redraws the windows and posts NSSystemColorsDidChangeNotification.
    std::optional<CGColor> accentColor() const { return accentColor_; }
    void setAccentColor(const std::optional<CGColor>& color);
    /// Takes the desktop's preferences from the settings portal and follows their changes for as
    /// long as the portal object is kept (nullptr without a session bus). The portal is asked
    /// without waiting: until it answers, and where it gives no light or dark preference or there
    /// is none, the user's GTK settings decide it.
    std::unique_ptr<SettingsPortal> followDesktopPreferences();

    // Windows.
    /// The windows made so far that still exist and have not been closed, oldest first.
    std::vector<std::shared_ptr<NSWindow>> windows() const;
    /// The window that gets key events; nullptr when none.
    std::shared_ptr<NSWindow> keyWindow() const { return keyWindow_.lock(); }

    // Delegate and menu.
    /// The delegate; the application keeps it.
    std::shared_ptr<NSApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(const std::shared_ptr<NSApplicationDelegate>& delegate) { delegate_ = delegate; }
    std::shared_ptr<NSMenu> mainMenu() const { return mainMenu_; }
    void setMainMenu(const std::shared_ptr<NSMenu>& menu);

    // Activation.
    bool isActive() const { return active_; }
    /// Makes the application the active one and brings its key window to the front of the screen.
    void activate(bool ignoringOtherApps);

    // Actions.
    /// Sends an action to the target, or, without one, to the first that answers to it of: the
    /// key window's first responder and the responders after it, the key window, its window
    /// controller and content view controller, the application and its delegate. Returns whether
    /// someone received it.
    bool sendAction(const Selector& action, const std::shared_ptr<NSResponder>& target, const Selector::Sender& sender);

    // Launching and the main loop.
    /// The launch without the loop: delegate and initial controller from the main storyboard,
    /// the window shown, the delegate told. False when the bundle names no storyboard or the
    /// storyboard has no initial controller.
    bool finishLaunching();
    /// Runs the main loop until terminate(); returns at once when already terminated.
    void run();
    bool isRunning() const { return running_; }
    /// Ends the application: the delegate hears applicationWillTerminate and the loop stops.
    void terminate(const Selector::Sender& sender);
    bool isTerminated() const { return terminated_; }
    /// What the delegate says about ending after the last window closed (false without one).
    bool shouldTerminateAfterLastWindowClosed();
    /// The controllers the launch made from the main storyboard (the application keeps them).
    const std::vector<std::shared_ptr<NSResponder>>& storyboardControllers() const { return launched_; }

    /// Lays out and draws the windows on screen that need it (the loop's pass before it sleeps).
    void updateWindows();

    // Window backend.
    /// The backend windows appear through; headless until another is set.
    std::shared_ptr<WindowBackend> windowBackend();
    /// Sets the backend (nullptr: headless) and the loop's waiting with it.
    void setWindowBackend(const std::shared_ptr<WindowBackend>& backend);

    /// Closes every window and forgets delegate, menu, launch, activation, termination and
    /// backend: a fresh application (tests).
    void reset();

private:
    friend class NSWindow;
    NSApplication() = default;
    void addWindow(const std::shared_ptr<NSWindow>& window);
    void windowDidShow(const std::shared_ptr<NSWindow>& window);
    void windowDidHide(NSWindow& window);
    void windowDidClose(NSWindow& window);
    void windowBecameKey(const std::shared_ptr<NSWindow>& window);
    void effectiveAppearanceMayHaveChanged();
    void ensureLoopObserver();

    std::shared_ptr<NSAppearance> appearance_;
    std::shared_ptr<NSAppearance> systemAppearance_;
    std::shared_ptr<NSAppearance> desktopAppearance_;
    std::optional<CGColor> accentColor_;
    mutable std::vector<std::weak_ptr<NSWindow>> windows_;
    std::vector<std::shared_ptr<NSWindow>> onScreen_;
    std::weak_ptr<NSWindow> keyWindow_;
    std::shared_ptr<NSApplicationDelegate> delegate_;
    std::shared_ptr<NSMenu> mainMenu_;
    std::vector<std::shared_ptr<NSResponder>> launched_;
    std::shared_ptr<WindowBackend> backend_;
    bool observerInstalled_ = false;
    bool active_ = false;
    bool running_ = false;
    bool terminated_ = false;
};

/// Starts the application (see above) and returns its exit status once it has terminated.
int NSApplicationMain(int argc, char** argv);
