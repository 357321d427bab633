#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "Testing/TestEnvironment.hpp"
#include "ZuzaduduRez/ProfilerController.hpp"

using namespace ZuzaduduRez;

namespace {

/// Sets an environment variable for the life of the object, then restores it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* previous = std::getenv(name)) previous_ = previous;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous_) ::setenv(name_, previous_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

std::string pathWith(const std::filesystem::path& folder) {
    const char* path = std::getenv("PATH");
    return folder.string() + ":" + (path ? path : "/usr/bin:/bin");
}

const std::string kStandInFolder = std::string(QUILLON_FIXTURES_DIR) + "/profiler";

}  // namespace

TEST(ProfilerController, ParsesTheReportOfTheProfilerCommand) {
    ScopedVariable path("PATH", pathWith(kStandInFolder));
    ScopedVariable report("QUILLON_PROFILER_REPORT", "bluetooth-connected.txt");
    auto tree = ProfilerController(Services::bluetooth()).run();
    ASSERT_EQ(tree->nodes.size(), 1u);
    auto bluetooth = tree->nodes[0];
    EXPECT_EQ(bluetooth->name, "Bluetooth");
    ASSERT_EQ(bluetooth->children.size(), 3u);
    auto connected = bluetooth->children[1];
    ASSERT_EQ(connected->children.size(), 2u);
    EXPECT_EQ(connected->children[0]->name, "Zephyr Buds");
    EXPECT_EQ(connected->children[0]->properties->value<std::string>("Right Battery Level"), "75 %");
    EXPECT_EQ(connected->children[1]->name, "Talkline Headset");
    EXPECT_EQ(bluetooth->children[2]->children.at(0)->name, "Glide Mouse");
}

TEST(ProfilerController, AFailingCommandGivesAnEmptyTree) {
    ScopedVariable path("PATH", pathWith(kStandInFolder));
    ScopedVariable report("QUILLON_PROFILER_REPORT", std::nullopt);
    EXPECT_TRUE(ProfilerController(Services::bluetooth()).run()->nodes.empty());
}

TEST(ProfilerController, AsksForTheServicesDataType) {
    EXPECT_EQ(Services::bluetooth()->name, "SPBluetoothDataType");
    EXPECT_EQ(Services::bluetooth(), Services::bluetooth());
    // A profiler that names the data type it was asked for as its report's heading.
    TemporaryDirectory folder;
    auto script = folder.write("system_profiler", "#!/bin/sh\nprintf '%s:\\n  Arguments: %s\\n' \"$1\" \"$#\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ScopedVariable path("PATH", pathWith(folder.path()));
    auto tree = ProfilerController(std::make_shared<Service>("SPUSBDataType")).run();
    EXPECT_EQ(tree->description(), "SPUSBDataType:\n  Arguments: 1\n");
}
