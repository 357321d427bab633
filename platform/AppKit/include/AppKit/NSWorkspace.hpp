#pragma once
// The desktop: opening addresses in the user's browser, the workspace's own notifications, the
// icons of files, showing a file in the file viewer and the applications that run.
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

    /// Opens the address with the desktop's handler (xdg-open unless an opener is set);
    /// returns whether it could be handed over.
    bool open(const URL& url);
    /// Replaces how addresses are opened (tests record them); nullptr restores xdg-open.
    void setURLOpener(std::function<bool(const URL&)> opener);

    /// Sleep and wake notices of the machine ("NSWorkspaceWillSleepNotification", ...), from
    /// logind on the system bus, which the centre listens to from its first use on.
    NotificationCenter& notificationCenter();

    // Icons, 32 by 32 points, each call a new image (NSWorkspaceIcons.cpp).
    /// The icon of the item at the path (a system path, looked up under the system root): an
    /// application bundle's own icon file (else the generic application icon), the picture of an
    /// image file, the folder icon, or the document icon for anything else and for a path where
    /// nothing exists. Never nullptr.
    std::shared_ptr<NSImage> iconForFile(const std::string& path) const;
    /// The generic icon of a content type (folder, application, document).
    std::shared_ptr<NSImage> iconForContentType(const UTType& type) const;
    /// The generic icon of the type a file name extension stands for.
    std::shared_ptr<NSImage> iconForFileType(const std::string& fileExtension) const;

    /// Shows the item (a system path) selected in a file viewer window of the root folder; false
    /// when nothing exists at the path. By default the folder holding it is opened with the
    /// desktop's handler.
    bool selectFile(const std::optional<std::string>& path, const std::string& rootFullPath);
    /// Replaces how items are shown (tests record them); nullptr restores the default.
    void setFileViewer(std::function<bool(const std::string& path, const std::string& root)> viewer);

    /// The applications that run now; unless set, this process alone.
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
