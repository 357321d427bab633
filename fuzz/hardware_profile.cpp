// Hardware profiles as a user's QUILLON_HARDWARE_PROFILE names them: read from a file by the
// registry provider and by the simulated Bluetooth stack. A profile is taken or refused with a
// message; nothing else may happen.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "IOKit/HardwareProfile.hpp"

namespace {
// The file each input is written to; gone when the run ends.
struct ProfileFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("fuzz-profile-" + std::to_string(::getpid()) + ".json");
    ~ProfileFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::filesystem::path& profileFile() {
    static const ProfileFile file;
    return file.path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const auto& file = profileFile();
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    try {
        HardwareProfileProvider provider(file);
    } catch (const HardwareProfileError&) {
    }
    try {
        SimulatedBluetoothStack::fromProfile(file);
    } catch (const BluetoothProfileError&) {
    }
    return 0;
}
