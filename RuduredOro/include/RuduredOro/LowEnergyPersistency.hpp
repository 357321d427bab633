#pragma once
// Two lists of peripheral identifiers (upper-case UUID texts) kept in the standard user
// defaults: the peripherals found to offer no Battery Service ("NoBatteryServiceDevices"), and the
// peripherals the user wants monitored ("MonitoredDevicesKey").
//
// Each list has a copy in memory, read from the defaults on first use and replaced by every write
// made here. Adding and removing change the list as stored now (read afresh, and again under the
// lock of the defaults when it is written), so entries stored meanwhile by another process
// survive; a change made elsewhere reaches the copies only with the next write here.
// Called on the main thread.
#include <optional>
#include <string>
#include <vector>

namespace RuduredOro {

class LowEnergyPersistency {
public:
    LowEnergyPersistency() = delete;

    static const std::string noBatteryServiceDevicesKey;
    static const std::string monitoredDevicesKey;

    static std::vector<std::string> noBatteryServiceDevices();
    /// Stores the whole list and replaces the copy.
    static void setNoBatteryServiceDevices(const std::vector<std::string>& identifiers);
    static std::vector<std::string> monitoredDevices();
    static void setMonitoredDevices(const std::vector<std::string>& identifiers);

    /// Appends the identifier to the stored list unless an entry equals it; stores the list
    /// either way.
    static void addNoBatteryServiceDevice(const std::string& identifier);
    /// The same for several identifiers at once, in order: one change of the stored list.
    static void addNoBatteryServiceDevices(const std::vector<std::string>& identifiers);
    static void addMonitoredDevice(const std::string& identifier);
    /// Removes every entry equal to the identifier, keeping the others in order; stores the list
    /// either way.
    static void removeMonitoredDevice(const std::string& identifier);
    /// False for an absent identifier; else whether the monitored copy holds it.
    static bool isMonitored(const std::optional<std::string>& identifier);
};

}  // namespace RuduredOro
