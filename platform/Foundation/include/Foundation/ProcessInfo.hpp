#pragma once
// Facts about the running process and its host. The operating-system version that the system's
// version checks compare with is the platform's own API level, a setting apart from the host: the
// system is written for a host whose version it tests, and tests choose the version they need. The
// version text and the thermal state are the host's.
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

    /// The platform's API level: 14.0.0 unless set.
    OperatingSystemVersion operatingSystemVersion() const;
    void setOperatingSystemVersion(const std::optional<OperatingSystemVersion>& version);
    /// The host as it names itself: the distribution's name and version and the kernel's release
    /// ("Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64"); may be set as a whole.
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
    /// As set, else from the kernel's thermal zones: nominal until a zone passes a trip point, fair
    /// past a passive one, serious past a hot one, critical past a critical one.
    ThermalState thermalState() const;
    void setThermalState(const std::optional<ThermalState>& state);

private:
    ProcessInfo() = default;
};
