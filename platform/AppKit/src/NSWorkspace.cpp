#include "AppKit/NSWorkspace.hpp"

#include <unistd.h>

#include <filesystem>
#include <mutex>

#include "AppKit/backends/SystemSleepFeed.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "backends/DesktopSettings.hpp"
#include "backends/DetachedProcess.hpp"
#include "backends/FileManagerService.hpp"
#include "backends/ProcessTable.hpp"

namespace {
std::mutex openerMutex;

// Where a program file really is, links resolved; empty when it cannot be told.
std::string realFile(const std::string& path) {
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? std::string() : resolved.string();
}

// The programs a process may be running as an application: its program file and, for programs
// started through an interpreter, the script named on its command line.
bool runs(const ProcessTable::Process& process, const std::string& program) {
    if (program.empty()) return false;
    if (!process.executable.empty() && realFile(process.executable) == program) return true;
    for (std::size_t i = 0; i < std::min<std::size_t>(process.arguments.size(), 2); ++i) {
        const auto& argument = process.arguments[i];
        if (!argument.empty() && argument.front() == '/' && realFile(argument) == program) return true;
    }
    return false;
}

// This user's processes that run an installed application, with the application's id and name.
std::vector<std::shared_ptr<NSRunningApplication>> applicationProcesses() {
    std::vector<std::pair<std::string, const DesktopEntry*>> programs;
    const auto entries = DesktopEntry::installed();
    for (const auto& entry : entries) {
        if (entry.executable) programs.emplace_back(realFile(*entry.executable), &entry);
    }
    std::vector<std::shared_ptr<NSRunningApplication>> running;
    const int self = static_cast<int>(::getpid());
    running.push_back(NSRunningApplication::current());
    for (const auto& process : ProcessTable::ofCurrentUser()) {
        if (process.pid == self) continue;
        for (const auto& [program, entry] : programs) {
            if (runs(process, program)) {
                running.push_back(std::make_shared<NSRunningApplication>(entry->id, entry->name, process.pid));
                break;
            }
        }
    }
    return running;
}
}  // namespace

NSWorkspace& NSWorkspace::shared() {
    static NSWorkspace* workspace = new NSWorkspace();
    return *workspace;
}

NSWorkspace::NSWorkspace() : sleepFeed_(std::make_unique<SystemSleepFeed>()) {}

NotificationCenter& NSWorkspace::notificationCenter() {
    sleepFeed_->listen();
    return notificationCenter_;
}

bool NSWorkspace::open(const URL& url) {
    std::function<bool(const URL&)> opener;
    {
        std::lock_guard lock(openerMutex);
        opener = opener_;
    }
    if (opener) return opener(url);
    if (DesktopSettings::isSettingsAddress(url)) return DesktopSettings::open(url);
    return DetachedProcess::start({"xdg-open", url.absoluteString()});
}

void NSWorkspace::setURLOpener(std::function<bool(const URL&)> opener) {
    std::lock_guard lock(openerMutex);
    opener_ = std::move(opener);
}

bool NSWorkspace::selectFile(const std::optional<std::string>& path, const std::string& rootFullPath) {
    if (path && !FileManager::defaultManager().fileExists(*path)) return false;
    std::function<bool(const std::string&, const std::string&)> viewer;
    {
        std::lock_guard lock(mutex_);
        viewer = fileViewer_;
    }
    if (viewer) return viewer(path.value_or(""), rootFullPath);
    std::string folder = rootFullPath;
    if (folder.empty() && path) folder = URL::fileURLWithPath(*path).deletingLastPathComponent().path();
    if (folder.empty()) return false;
    auto openFolder = [folder] { NSWorkspace::shared().open(URL::fileURLWithPath(FileManager::hostPath(folder), true)); };
    if (path) {
        FileManagerService::showItems({*path}, openFolder);
    } else {
        FileManagerService::showFolders({folder}, openFolder);
    }
    return true;
}

void NSWorkspace::setFileViewer(std::function<bool(const std::string& path, const std::string& root)> viewer) {
    std::lock_guard lock(mutex_);
    fileViewer_ = std::move(viewer);
}

std::vector<std::shared_ptr<NSRunningApplication>> NSWorkspace::runningApplications() const {
    {
        std::lock_guard lock(mutex_);
        if (runningApplications_) return *runningApplications_;
    }
    return applicationProcesses();
}

void NSWorkspace::setRunningApplications(const std::optional<std::vector<std::shared_ptr<NSRunningApplication>>>& applications) {
    std::lock_guard lock(mutex_);
    runningApplications_ = applications;
}

std::shared_ptr<NSRunningApplication> NSRunningApplication::current() {
    auto bundle = Bundle::main();
    return std::make_shared<NSRunningApplication>(bundle->bundleIdentifier(), bundle->executableName(), static_cast<int>(::getpid()));
}
