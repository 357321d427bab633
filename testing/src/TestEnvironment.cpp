#include "Testing/TestEnvironment.hpp"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>

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
