#pragma once
// The application delegate: the launch, ending with the last window, About and Help.
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSResponder.hpp"
#include "AppKit/Selector.hpp"

namespace Quillon {

class AppDelegate : public NSResponder, public NSApplicationDelegate {
public:
    /// The first window can be moved by dragging its background.
    void applicationDidFinishLaunching(const Notification& notification) override;
    /// Always: closing the window quits the application.
    bool applicationShouldTerminateAfterLastWindowClosed(NSApplication& application) override;
    void aboutClicked(const Selector::Sender& sender);
    /// Opens the maker's contact page in the browser.
    void helpClicked(const Selector::Sender& sender);
};

/// The About window with the main bundle's information and privacy text; then the application
/// comes to the front.
void showAbout();

}  // namespace Quillon
