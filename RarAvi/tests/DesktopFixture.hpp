#pragma once
// fixtures/desktop as the system root, with anna's home, for the desktop services' tests; every
// seam they touch is restored afterwards. A test that changes the tree works on a copy.
#include <filesystem>
#include <string>

#include "Testing/TestEnvironment.hpp"

namespace DesktopTesting {

class DesktopTest : public VirtualTimeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Makes the system root a copy of the tree that the test may change.
    void useWritableCopy();
    /// The host path of a system path.
    std::filesystem::path host(const std::string& systemPath) const;

    std::unique_ptr<TemporaryDirectory> root_;
};

}  // namespace DesktopTesting
