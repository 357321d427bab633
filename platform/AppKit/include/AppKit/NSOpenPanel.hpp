#pragma once
// The panel in which the user picks files or folders. Who answers is a setting: tests and demos
// install a responder that looks at the configured panel and picks the response and the URLs;
// without one the desktop's file chooser answers (through its portal), and where no portal
// answers the panel is cancelled and the system log says why.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSAlert.hpp"
#include "AppKit/NSWindow.hpp"
#include "Foundation/URL.hpp"

inline constexpr NSModalResponse NSModalResponseCancel = 0;
inline constexpr NSModalResponse NSModalResponseOK = 1;

class NSOpenPanel : public std::enable_shared_from_this<NSOpenPanel> {
public:
    struct Answer {
        NSModalResponse response = NSModalResponseCancel;
        std::vector<URL> urls;
    };
    using Responder = std::function<Answer(const NSOpenPanel&)>;

    static std::shared_ptr<NSOpenPanel> openPanel() { return std::make_shared<NSOpenPanel>(); }
    /// Installs who answers panels; nullptr cancels every panel.
    static void setResponder(Responder responder);

    /// The folder the panel shows first.
    const std::optional<URL>& directoryURL() const { return directoryURL_; }
    void setDirectoryURL(const std::optional<URL>& url) { directoryURL_ = url; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows) { allowsMultipleSelection_ = allows; }
    bool canChooseFiles() const { return canChooseFiles_; }
    void setCanChooseFiles(bool can) { canChooseFiles_ = can; }
    bool canChooseDirectories() const { return canChooseDirectories_; }
    void setCanChooseDirectories(bool can) { canChooseDirectories_ = can; }
    bool canCreateDirectories() const { return canCreateDirectories_; }
    void setCanCreateDirectories(bool can) { canCreateDirectories_ = can; }
    /// The title of the panel's window; where it is empty the message stands in for it, and
    /// where that is empty too a title of the platform's in the user's language ("Open", or
    /// "Choose a Folder" for a panel that chooses folders only).
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    /// The title of the default button.
    const std::string& prompt() const { return prompt_; }
    void setPrompt(std::string prompt) { prompt_ = std::move(prompt); }
    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }

    /// What the user chose (one URL at most unless multiple selection is allowed).
    const std::vector<URL>& urls() const { return urls_; }
    std::optional<URL> url() const { return urls_.empty() ? std::nullopt : std::optional<URL>(urls_.front()); }
    /// The window the panel is shown on as a sheet; nullptr for a modal panel.
    std::shared_ptr<NSWindow> sheetWindow() const { return sheetWindow_.lock(); }

    /// Shows the panel and returns the response once it is answered.
    NSModalResponse runModal();
    /// Shows the panel on the window; the handler gets the response later, on the main queue.
    void beginSheetModal(const std::shared_ptr<NSWindow>& window, std::function<void(NSModalResponse)> handler);

private:
    NSModalResponse take(Answer answer);

    std::optional<URL> directoryURL_;
    bool allowsMultipleSelection_ = false;
    bool canChooseFiles_ = true;
    bool canChooseDirectories_ = false;
    bool canCreateDirectories_ = true;
    std::string title_;
    std::string prompt_ = "Open";
    std::string message_;
    std::vector<URL> urls_;
    std::weak_ptr<NSWindow> sheetWindow_;
};
