#pragma once
// The desktop portal's file chooser (org.freedesktop.portal.FileChooser of
// org.freedesktop.portal.Desktop on the session bus): the desktop's own dialog in which a person
// picks files or a folder, also for an application in a sandbox. The portal answers later,
// through the Response signal of the request object whose path it hands back.
//
//   FileChooserPortal::open({.acceptLabel = "Allow", .directory = true}, [](auto urls) { ... });
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/URL.hpp"

class FileChooserPortal {
public:
    struct Request {
        /// The dialog's window title.
        std::string title;
        /// The text of the button that accepts the choice; the portal's own when empty.
        std::string acceptLabel;
        /// Folders instead of files.
        bool directory = false;
        bool multiple = false;
        /// The folder the dialog shows first (a path on this machine).
        std::optional<std::string> currentFolder;
    };
    /// The chosen file URLs; nothing when the person cancelled or no portal answered.
    using Completion = std::function<void(std::optional<std::vector<URL>>)>;

    /// Shows the dialog; the completion runs later, on the main queue. Without a session bus or a
    /// portal that answers, it gets nothing and the system log says why.
    static void open(const Request& request, Completion completion);
    /// Shows the dialog and waits for the answer (at most `timeout` seconds), running the main
    /// loop's timers and drawing meanwhile; main thread only. Nothing as with open().
    static std::optional<std::vector<URL>> choose(const Request& request, double timeout);

    FileChooserPortal() = delete;
};
