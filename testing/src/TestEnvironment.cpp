#include "Testing/TestEnvironment.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

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

bool HostRun::exited(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

std::string HostRun::said() const {
    const auto ending = WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                                          : "signal " + std::to_string(WTERMSIG(status));
    return "the host ended with " + ending + " and said:\n" + output;
}

HostRun runAsHost(const std::string& test, const std::string& variable, std::chrono::seconds limit) {
    TemporaryDirectory directory;
    const auto errors = directory.path() / "errors";
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string filter = "--gtest_filter=" + test;
    std::vector<std::string> environment{variable + "=1"};
    for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    HostRun run;
    const pid_t host = ::fork();
    if (host == 0) {
        const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (fd < 0 || quiet < 0 || ::dup2(fd, 2) < 0 || ::dup2(quiet, 1) < 0) _exit(126);
        ::execle(program.c_str(), program.c_str(), filter.c_str(), static_cast<char*>(nullptr), envp.data());
        _exit(127);
    }
    if (host < 0) throw std::runtime_error("the host program could not be started");
    const auto end = std::chrono::steady_clock::now() + limit;
    while (::waitpid(host, &run.status, WNOHANG) != host) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(host, SIGKILL);
            ::waitpid(host, &run.status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream file(errors);
    run.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return run;
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
