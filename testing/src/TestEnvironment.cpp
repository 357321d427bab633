#include "Testing/TestEnvironment.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

#include "Foundation/Locale.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/UserDefaults.hpp"

TemporaryDirectory::TemporaryDirectory() {
    std::random_device random;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("quillon-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::filesystem::path TemporaryDirectory::write(const std::filesystem::path& relative, const std::string& contents) const {
    auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << contents;
    return full;
}

LockHeldElsewhere::LockHeldElsewhere(const std::filesystem::path& file, std::function<void()> beforeRelease) {
    int held[2], letGo[2];
    if (::pipe(held) != 0 || ::pipe(letGo) != 0) throw std::runtime_error("no pipe for the lock holder");
    holder_ = ::fork();
    if (holder_ == 0) {
        ::alarm(10);
        // A descriptor inherited from the test (a lock a settings write holds, say) would keep
        // that lock here: only the two pipes stay open.
        const auto [low, high] = std::minmax(held[1], letGo[0]);
        ::close_range(3, low - 1, 0);
        ::close_range(low + 1, high - 1, 0);
        ::close_range(high + 1, ~0U, 0);
        // It tells that it holds the lock only once it does.
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) _exit(1);
        char c = 0;
        (void)!::write(held[1], &c, 1);
        (void)!::read(letGo[0], &c, 1);  // until the test closes its end
        if (beforeRelease) beforeRelease();
        _exit(0);
    }
    ::close(held[1]);
    ::close(letGo[0]);
    release_ = letGo[1];
    char c = 0;
    const bool holds = holder_ > 0 && ::read(held[0], &c, 1) == 1;
    ::close(held[0]);
    if (!holds) {
        release();
        throw std::runtime_error("no other process holds the lock of " + file.string());
    }
}

LockHeldElsewhere::~LockHeldElsewhere() { release(); }

void LockHeldElsewhere::release() {
    // Closing the pipe tells the holder to let go, and writes nothing that could stop this
    // process with SIGPIPE should the holder be gone.
    if (release_ >= 0) ::close(release_);
    release_ = -1;
    if (holder_ > 0) ::waitpid(holder_, nullptr, 0);
    holder_ = -1;
}

FolderFirstOnPath::FolderFirstOnPath(const std::filesystem::path& folder) {
    const char* path = std::getenv("PATH");
    previous_ = path ? path : "";
    ::setenv("PATH", (folder.string() + ":" + previous_).c_str(), 1);
}

FolderFirstOnPath::~FolderFirstOnPath() { ::setenv("PATH", previous_.c_str(), 1); }

void VirtualTimeTest::SetUp() {
    clock_ = std::make_shared<VirtualClock>();
    Clock::setCurrent(clock_);
    defaultsDirectory_ = std::make_unique<TemporaryDirectory>();
    UserDefaults::setDirectory(defaultsDirectory_->path());
}

void VirtualTimeTest::TearDown() {
    // Leave nothing behind for the next test: queued blocks run, timers stop.
    RunLoop::main().runUntilIdle();
    RunLoop::main().invalidateAllTimers();
    Clock::setCurrent(nullptr);
    UserDefaults::setDirectory(std::filesystem::temp_directory_path() / ("quillon-test-defaults-" + std::to_string(::getpid())));
    Locale::setCurrent(std::nullopt);
    Locale::setPreferredLanguages(std::nullopt);
    TimeZone::setCurrent(std::nullopt);
    ProcessInfo::processInfo().setOperatingSystemVersion(std::nullopt);
}
