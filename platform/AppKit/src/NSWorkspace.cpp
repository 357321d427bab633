#include "AppKit/NSWorkspace.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <mutex>
#include <thread>

#include "AppKit/backends/SystemSleepFeed.hpp"

extern char** environ;

namespace {
std::mutex openerMutex;

// Starts xdg-open without waiting for the browser; a thread reaps the child.
bool openWithDesktop(const URL& url) {
    const std::string& address = url.absoluteString();
    char program[] = "xdg-open";
    std::string argument = address;
    char* argv[] = {program, argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) return false;
    std::thread([pid] {
        int ignored = 0;
        ::waitpid(pid, &ignored, 0);
    }).detach();
    return true;
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
    return opener ? opener(url) : openWithDesktop(url);
}

void NSWorkspace::setURLOpener(std::function<bool(const URL&)> opener) {
    std::lock_guard lock(openerMutex);
    opener_ = std::move(opener);
}
