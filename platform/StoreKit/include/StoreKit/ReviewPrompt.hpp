#pragma once
// The platform's review prompt: a small window of the application asking the user to rate it.
// Its rate button opens the application's page in the desktop's software centre (the link
// "appstream://" followed by the application's bundle identifier, through NSWorkspace) and closes
// the window; its other button only closes it. One prompt at a time: a request while one is open
// shows no second one.
#include <memory>
#include <optional>
#include <string>

class NSWindow;

class ReviewPrompt {
public:
    ReviewPrompt() = delete;

    /// Shows the prompt on the main queue's next turn (after whatever asked for it has finished).
    static void show();
    /// The prompt's window while it is open; nullptr otherwise.
    static std::shared_ptr<NSWindow> window();
    /// The address of the application's page; none when the main bundle has no identifier.
    static std::optional<std::string> pageAddress();
};
