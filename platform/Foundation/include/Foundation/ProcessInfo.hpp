#pragma once
// Facts about the running process and its host. The operating-system version is a setting: the
// system is written for a host whose version it tests, and tests choose the version they need.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

struct OperatingSystemVersion {
    int majorVersion = 0;
    int minorVersion = 0;
    int patchVersion = 0;

    auto operator<=>(const OperatingSystemVersion&) const = default;
};

class ProcessInfo {
public:
    enum class ThermalState { nominal = 0, fair = 1, serious = 2, critical = 3 };

    static ProcessInfo& processInfo();

    /// 14.0.0 unless set.
    OperatingSystemVersion operatingSystemVersion() const;
    void setOperatingSystemVersion(const std::optional<OperatingSystemVersion>& version);
    /// "Version 14.0 (Build 23A344)"-style text of the version; may be set as a whole.
    std::string operatingSystemVersionString() const;
    void setOperatingSystemVersionString(const std::optional<std::string>& text);
    bool isOperatingSystemAtLeast(const OperatingSystemVersion& version) const;

    std::map<std::string, std::string> environment() const;
    std::string processName() const;
    int processIdentifier() const;
    int activeProcessorCount() const;
    int processorCount() const;
    std::uint64_t physicalMemory() const;
    /// Seconds since the machine started.
    double systemUptime() const;
    ThermalState thermalState() const;
    void setThermalState(ThermalState state);

private:
    ProcessInfo() = default;
};
