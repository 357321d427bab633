#pragma once
// Test helpers: a temporary folder that removes itself, another process holding a lock, the test
// program run again as a host program, and a fixture that gives each test a virtual clock, its own
// user-defaults folder and fresh settings, and restores them afterwards.
#include <gtest/gtest.h>

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Foundation/Clock.hpp"
#include "Foundation/RunLoop.hpp"

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    /// Writes a file (and its folders) under the directory; returns its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

/// Puts a folder first on PATH for its lifetime (for example the build's bin folder, so that the
/// platform's stand-in programs are found before any other).
class FolderFirstOnPath {
public:
    explicit FolderFirstOnPath(const std::filesystem::path& folder);
    ~FolderFirstOnPath();
    FolderFirstOnPath(const FolderFirstOnPath&) = delete;
    FolderFirstOnPath& operator=(const FolderFirstOnPath&) = delete;

private:
    std::string previous_;
};

/// Another process that holds the advisory lock (flock) of a file from construction until
/// release() or destruction, ten seconds at most; `beforeRelease` runs in it while it still holds
/// the lock. Only async-signal-safe work belongs there when the test has threads.
class LockHeldElsewhere {
public:
    explicit LockHeldElsewhere(const std::filesystem::path& file, std::function<void()> beforeRelease = {});
    ~LockHeldElsewhere();
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;

    /// Lets go, and waits for the process to end.
    void release();

private:
    pid_t holder_ = -1;
    int release_ = -1;
};

/// The running test program started again as another process that runs the test named `test`
/// ("Suite.Name") alone, with `variable` set to "1" in its environment, so that the test acts as a
/// host program when it finds the variable. Answers how it ended (a waitpid status) and what it
/// wrote to its standard error; a host still running after `limit` is killed.
struct HostRun {
    int status = 0;
    std::string output;
    bool exited(int code) const;
    /// How it ended, in words, with what it said: for a failure's message.
    std::string said() const;
};
HostRun runAsHost(const std::string& test, const std::string& variable, std::chrono::seconds limit = std::chrono::seconds(60));

class VirtualTimeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs the main loop until nothing is left to do at the current virtual time.
    void runUntilIdle() { RunLoop::main().runUntilIdle(); }
    /// Moves virtual time forward, firing timers at their own times.
    void advance(double seconds) { RunLoop::main().advance(seconds); }
    double now() const { return clock_->now(); }

    std::shared_ptr<VirtualClock> clock_;
    std::unique_ptr<TemporaryDirectory> defaultsDirectory_;
};
