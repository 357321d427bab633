#pragma once
// A copy of fixtures/desktop as the system root, with anna's home, for the desktop services'
// tests; every seam they touch is restored afterwards.
#include <filesystem>
#include <string>

#include "Testing/TestEnvironment.hpp"

namespace DesktopTesting {

class DesktopTest : public VirtualTimeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    /// The host path of a system path in the copy.
    std::filesystem::path host(const std::string& systemPath) const;
    /// Writes a file (and its folders) at a system path of the copy.
    void write(const std::string& systemPath, const std::string& contents) const;

    std::unique_ptr<TemporaryDirectory> root_;
};

}  // namespace DesktopTesting
