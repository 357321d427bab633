// The entry point of every test program: the tests never touch the user's own settings, nor the
// user's desktop through the session bus (a test that needs a bus starts a private one).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "Foundation/UserDefaults.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    auto defaults = std::filesystem::temp_directory_path() / ("quillon-test-defaults-" + std::to_string(::getpid()));
    UserDefaults::setDirectory(defaults);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (defaults / "no-session-bus").string()).c_str(), 1);
    int status = RUN_ALL_TESTS();
    std::error_code error;
    std::filesystem::remove_all(defaults, error);
    return status;
}
