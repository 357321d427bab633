#pragma once
// The desktop: opening addresses with the desktop's handlers (system-settings addresses in the
// desktop's settings application), the workspace's own notifications, the icons of files, types
// and applications from the desktop's icon theme, showing a file in the desktop's file manager and
// the applications that run.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSImage.hpp"
#include "AppKit/NSRunningApplication.hpp"
#include "Foundation/NotificationCenter.hpp"
#include "Foundation/URL.hpp"
#include "UniformTypeIdentifiers/UTType.hpp"

class SystemSleepFeed;

class NSWorkspace {
public:
    static NSWorkspace& shared();

    /// Opens the address with the desktop's handler (xdg-open unless an opener is set); a
    /// system-settings address ("x-apple.systempreferences:<pane>?<anchor>") opens the matching
    /// page of the desktop's own settings. Returns whether it could be handed over: false for a
    /// settings page on a desktop without a settings application (on GNOME, where GNOME Settings is
    /// asked on another thread, true at once).
    bool open(const URL& url);
    /// Replaces how addresses are opened (tests record them); nullptr restores xdg-open.
    void setURLOpener(std::function<bool(const URL&)> opener);

    /// Sleep and wake notices of the machine ("NSWorkspaceWillSleepNotification", ...), from
    /// logind on the system bus, which the centre listens to from its first use on.
    NotificationCenter& notificationCenter();

    // Icons, 32 by 32 points, each call a new image (NSWorkspaceIcons.cpp). They come from the
    // desktop's icon theme; our own generic artwork stands in where the theme has none.
    /// The icon of the item at the path (a system path, looked up under the system root): an
    /// application bundle's own icon file (else the generic application icon), the icon a
    /// desktop entry names, the picture of an image file, the folder icon, the icon of the
    /// file's content type, or the generic document icon for a path where nothing exists. Never
    /// nullptr.
    std::shared_ptr<NSImage> iconForFile(const std::string& path) const;
    /// The icon of a content type: the theme's icon of its MIME type, else of its kind (image,
    /// text...), else the generic folder, application or document icon.
    std::shared_ptr<NSImage> iconForContentType(const UTType& type) const;
    /// The generic icon of the type a file name extension stands for.
    std::shared_ptr<NSImage> iconForFileType(const std::string& fileExtension) const;

    /// Shows the item (a system path) selected in a file viewer window of the root folder; false
    /// when nothing exists at the path. By default the desktop's file manager shows it
    /// (org.freedesktop.FileManager1, asked on another thread: true once asked); without one the
    /// folder is opened with the desktop's handler, from the main queue.
    bool selectFile(const std::optional<std::string>& path, const std::string& rootFullPath);
    /// Replaces how items are shown (tests record them); nullptr restores the default.
    void setFileViewer(std::function<bool(const std::string& path, const std::string& root)> viewer);

    /// The applications that run now, unless set: this process, then the user's processes that
    /// run the program of an installed application's desktop entry, with its id and name.
    std::vector<std::shared_ptr<NSRunningApplication>> runningApplications() const;
    /// Replaces the list of running applications; an absent list restores the default.
    void setRunningApplications(const std::optional<std::vector<std::shared_ptr<NSRunningApplication>>>& applications);

private:
    NSWorkspace();
    std::function<bool(const URL&)> opener_;
    mutable std::mutex mutex_;
    std::function<bool(const std::string&, const std::string&)> fileViewer_;
    std::optional<std::vector<std::shared_ptr<NSRunningApplication>>> runningApplications_;
    NotificationCenter notificationCenter_;
    std::unique_ptr<SystemSleepFeed> sleepFeed_;
};

inline const char* const NSWorkspaceWillSleepNotification = "NSWorkspaceWillSleepNotification";
inline const char* const NSWorkspaceDidWakeNotification = "NSWorkspaceDidWakeNotification";
