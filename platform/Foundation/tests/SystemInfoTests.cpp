#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Compression.hpp"
#include "Foundation/SystemControl.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Testing/TestEnvironment.hpp"

TEST(SystemControl, KernelVariablesReportSizeThenBytes) {
    SystemControl::setStringValue("hw.model", "Mac14,2");
    std::size_t size = 0;
    ASSERT_EQ(sysctlbyname("hw.model", nullptr, &size, nullptr, 0), 0);
    EXPECT_EQ(size, 8u);  // seven letters and the closing zero
    char buffer[8];
    ASSERT_EQ(sysctlbyname("hw.model", buffer, &size, nullptr, 0), 0);
    EXPECT_STREQ(buffer, "Mac14,2");
    size = 4;
    EXPECT_EQ(sysctlbyname("hw.model", buffer, &size, nullptr, 0), -1);  // too small
    EXPECT_EQ(sysctlbyname("no.such.variable", nullptr, &size, nullptr, 0), -1);
    EXPECT_EQ(sysctlbyname("hw.model", buffer, &size, "x", 1), -1);  // read-only
    SystemControl::reset();
    EXPECT_TRUE(SystemControl::stringValue("kern.ostype"));
}

TEST(SystemControl, HostRecordNeedsRoomForTwelveWords) {
    EXPECT_EQ(HOST_BASIC_INFO_COUNT, 12u);
    host_basic_info info{};
    mach_msg_type_number_t count = 11;
    EXPECT_EQ(host_info(mach_host_self(), HOST_BASIC_INFO, reinterpret_cast<host_info_t>(&info), &count), KERN_FAILURE);
    count = HOST_BASIC_INFO_COUNT;
    ASSERT_EQ(host_info(mach_host_self(), HOST_BASIC_INFO, reinterpret_cast<host_info_t>(&info), &count), KERN_SUCCESS);
    EXPECT_GT(info.max_mem, 0u);
    EXPECT_EQ(info.memory_size, std::min<std::uint64_t>(info.max_mem, 0x80000000u));
}

TEST(SystemRoot, ResolvesAbsolutePathsUnderTheRoot) {
    EXPECT_EQ(SystemRoot::resolve("/System/Library/x.plist"), "/System/Library/x.plist");
    SystemRoot::setPath("/tmp/root");
    EXPECT_EQ(SystemRoot::resolve("/System/Library/x.plist"), "/tmp/root/System/Library/x.plist");
    SystemRoot::setPath(std::nullopt);
    EXPECT_EQ(SystemRoot::path(), "/");
}

TEST(CompressionStream, WorksThroughTinyBuffers) {
    // Feed the encoder one byte at a time and drain both sides through 7-byte buffers.
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i % 37) + "\n";
    auto run = [](compression_stream_operation operation, const std::vector<std::uint8_t>& input, std::size_t feed) {
        compression_stream stream;
        EXPECT_EQ(compression_stream_init(&stream, operation, COMPRESSION_ZLIB), COMPRESSION_STATUS_OK);
        std::vector<std::uint8_t> output;
        std::size_t given = 0;
        for (;;) {
            std::uint8_t buffer[7];
            std::size_t piece = std::min(feed, input.size() - given);
            stream.src_ptr = input.data() + given;
            stream.src_size = piece;
            stream.dst_ptr = buffer;
            stream.dst_size = sizeof buffer;
            const bool last = given + piece == input.size();
            auto status = compression_stream_process(&stream, last ? COMPRESSION_STREAM_FINALIZE : 0);
            given += piece - stream.src_size;
            output.insert(output.end(), buffer, buffer + (sizeof buffer - stream.dst_size));
            if (status == COMPRESSION_STATUS_END) break;
            EXPECT_EQ(status, COMPRESSION_STATUS_OK);
            if (status != COMPRESSION_STATUS_OK) break;
        }
        compression_stream_destroy(&stream);
        return output;
    };
    std::vector<std::uint8_t> plain(text.begin(), text.end());
    auto packed = run(COMPRESSION_STREAM_ENCODE, plain, 1);
    EXPECT_LT(packed.size(), plain.size() / 4);
    EXPECT_EQ(run(COMPRESSION_STREAM_DECODE, packed, 3), plain);

    compression_stream stream;
    EXPECT_EQ(compression_stream_init(&stream, COMPRESSION_STREAM_DECODE, static_cast<compression_algorithm>(99)),
              COMPRESSION_STATUS_ERROR);
    std::uint8_t garbage[] = {0xFF, 0xFF, 0xFF, 0xFF}, out[16];
    ASSERT_EQ(compression_stream_init(&stream, COMPRESSION_STREAM_DECODE, COMPRESSION_ZLIB), COMPRESSION_STATUS_OK);
    stream.src_ptr = garbage;
    stream.src_size = sizeof garbage;
    stream.dst_ptr = out;
    stream.dst_size = sizeof out;
    EXPECT_EQ(compression_stream_process(&stream, COMPRESSION_STREAM_FINALIZE), COMPRESSION_STATUS_ERROR);
    compression_stream_destroy(&stream);
}

// The version text names the host; the API level the version checks compare with stays apart.
TEST(ProcessInfo, VersionTextNamesTheDistributionAndKernel) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    SystemControl::setStringValue("kern.osrelease", "6.1.0-18-amd64");
    auto& info = ProcessInfo::processInfo();
    EXPECT_EQ(info.operatingSystemVersionString(), "Linux, kernel 6.1.0-18-amd64");
    root.write("usr/lib/os-release", "NAME=Fedora Linux\nVERSION_ID=40\n");
    EXPECT_EQ(info.operatingSystemVersionString(), "Fedora Linux 40, kernel 6.1.0-18-amd64");
    root.write("etc/os-release", "# the distribution\nNAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 \\\"bookworm\\\"\"\n");
    EXPECT_EQ(info.operatingSystemVersionString(), "Debian GNU/Linux 12 \"bookworm\", kernel 6.1.0-18-amd64");
    // A file that never ends is not read: the next one counts.
    std::filesystem::remove(root.path() / "etc/os-release");
    std::filesystem::create_symlink("/dev/zero", root.path() / "etc/os-release");
    EXPECT_EQ(info.operatingSystemVersionString(), "Fedora Linux 40, kernel 6.1.0-18-amd64");
    EXPECT_EQ(info.operatingSystemVersion(), (OperatingSystemVersion{14, 0, 0}));
    SystemControl::reset();
    SystemRoot::setPath(std::nullopt);
}

// The gravest trip point an enabled zone has reached; unused (zero) trip points and fans do not count.
TEST(ProcessInfo, ThermalStateFromTheThermalZones) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    auto& info = ProcessInfo::processInfo();
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::nominal);
    auto zone = [&](int number, const std::string& temperature, const std::vector<std::pair<std::string, std::string>>& trips) {
        auto folder = "sys/class/thermal/thermal_zone" + std::to_string(number) + "/";
        root.write(folder + "temp", temperature + "\n");
        for (std::size_t i = 0; i < trips.size(); ++i) {
            root.write(folder + "trip_point_" + std::to_string(i) + "_type", trips[i].first + "\n");
            root.write(folder + "trip_point_" + std::to_string(i) + "_temp", trips[i].second + "\n");
        }
    };
    zone(0, "61000", {{"active", "50000"}, {"critical", "0"}, {"passive", "95000"}});
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::nominal);
    zone(1, "96000", {{"passive", "95000"}, {"hot", "99000"}, {"critical", "105000"}});
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::fair);
    zone(2, "100000", {{"hot", "99000"}});
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::serious);
    zone(1, "105000", {});
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::critical);
    root.write("sys/class/thermal/thermal_zone1/mode", "disabled\n");
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::serious);
    info.setThermalState(ProcessInfo::ThermalState::nominal);
    EXPECT_EQ(info.thermalState(), ProcessInfo::ThermalState::nominal);
    info.setThermalState(std::nullopt);
    SystemRoot::setPath(std::nullopt);
}
