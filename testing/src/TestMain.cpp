// The entry point of every test program: the tests never touch the user's own settings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "Foundation/UserDefaults.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    auto defaults = std::filesystem::temp_directory_path() / ("quillon-test-defaults-" + std::to_string(::getpid()));
    UserDefaults::setDirectory(defaults);
    int status = RUN_ALL_TESTS();
    std::error_code error;
    std::filesystem::remove_all(defaults, error);
    return status;
}
