#include "Foundation/ProcessInfo.hpp"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <mutex>

#include "backends/HostSystemVersion.hpp"
#include "backends/ThermalZones.hpp"

extern char** environ;

namespace {
std::mutex settingsMutex;
std::optional<OperatingSystemVersion> versionSetting;
std::optional<std::string> versionStringSetting;
std::optional<ProcessInfo::ThermalState> thermalSetting;
constexpr OperatingSystemVersion defaultVersion{14, 0, 0};
}  // namespace

ProcessInfo& ProcessInfo::processInfo() {
    static ProcessInfo info;
    return info;
}

OperatingSystemVersion ProcessInfo::operatingSystemVersion() const {
    std::lock_guard lock(settingsMutex);
    return versionSetting.value_or(defaultVersion);
}

void ProcessInfo::setOperatingSystemVersion(const std::optional<OperatingSystemVersion>& version) {
    std::lock_guard lock(settingsMutex);
    versionSetting = version;
}

std::string ProcessInfo::operatingSystemVersionString() const {
    {
        std::lock_guard lock(settingsMutex);
        if (versionStringSetting) return *versionStringSetting;
    }
    return hostsystem::versionText();
}

void ProcessInfo::setOperatingSystemVersionString(const std::optional<std::string>& text) {
    std::lock_guard lock(settingsMutex);
    versionStringSetting = text;
}

bool ProcessInfo::isOperatingSystemAtLeast(const OperatingSystemVersion& version) const {
    return operatingSystemVersion() >= version;
}

std::map<std::string, std::string> ProcessInfo::environment() const {
    std::map<std::string, std::string> values;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string text = *entry;
        auto equals = text.find('=');
        if (equals != std::string::npos) values.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return values;
}

std::string ProcessInfo::processName() const {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.filename().string();
}

int ProcessInfo::processIdentifier() const { return static_cast<int>(::getpid()); }

int ProcessInfo::activeProcessorCount() const { return static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)); }

int ProcessInfo::processorCount() const { return static_cast<int>(::sysconf(_SC_NPROCESSORS_CONF)); }

std::uint64_t ProcessInfo::physicalMemory() const {
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) return 0;
    return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

double ProcessInfo::systemUptime() const {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

ProcessInfo::ThermalState ProcessInfo::thermalState() const {
    {
        std::lock_guard lock(settingsMutex);
        if (thermalSetting) return *thermalSetting;
    }
    return thermalzones::state();
}

void ProcessInfo::setThermalState(const std::optional<ThermalState>& state) {
    std::lock_guard lock(settingsMutex);
    thermalSetting = state;
}
