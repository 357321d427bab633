#include "RuduredOro/LowEnergyPersistency.hpp"

#include <algorithm>

#include "Foundation/UserDefaults.hpp"

namespace RuduredOro {

const std::string LowEnergyPersistency::noBatteryServiceDevicesKey = "NoBatteryServiceDevices";
const std::string LowEnergyPersistency::monitoredDevicesKey = "MonitoredDevicesKey";

namespace {

/// The stored list: an array of texts, or the empty list for anything else.
std::vector<std::string> stored(const std::string& key) {
    return UserDefaults::standard().stringArrayForKey(key).value_or(std::vector<std::string>{});
}

struct Copies {
    std::vector<std::string> noBatteryServiceDevices = stored(LowEnergyPersistency::noBatteryServiceDevicesKey);
    std::vector<std::string> monitoredDevices = stored(LowEnergyPersistency::monitoredDevicesKey);
};

/// The in-memory copies, read once on first use (safe under concurrent first use).
Copies& copies() {
    static Copies instance;
    return instance;
}

void store(const std::string& key, const std::vector<std::string>& list, std::vector<std::string>& copy) {
    UserDefaults::standard().set(PropertyListValue(list), key);
    copy = list;
}

void add(const std::string& key, const std::string& identifier, std::vector<std::string>& copy) {
    auto list = stored(key);
    if (std::find(list.begin(), list.end(), identifier) == list.end()) list.push_back(identifier);
    store(key, list, copy);
}

}  // namespace

std::vector<std::string> LowEnergyPersistency::noBatteryServiceDevices() { return copies().noBatteryServiceDevices; }

void LowEnergyPersistency::setNoBatteryServiceDevices(const std::vector<std::string>& identifiers) {
    store(noBatteryServiceDevicesKey, identifiers, copies().noBatteryServiceDevices);
}

std::vector<std::string> LowEnergyPersistency::monitoredDevices() { return copies().monitoredDevices; }

void LowEnergyPersistency::setMonitoredDevices(const std::vector<std::string>& identifiers) {
    store(monitoredDevicesKey, identifiers, copies().monitoredDevices);
}

void LowEnergyPersistency::addNoBatteryServiceDevice(const std::string& identifier) {
    add(noBatteryServiceDevicesKey, identifier, copies().noBatteryServiceDevices);
}

void LowEnergyPersistency::addMonitoredDevice(const std::string& identifier) {
    add(monitoredDevicesKey, identifier, copies().monitoredDevices);
}

void LowEnergyPersistency::removeMonitoredDevice(const std::string& identifier) {
    auto list = stored(monitoredDevicesKey);
    std::erase(list, identifier);
    store(monitoredDevicesKey, list, copies().monitoredDevices);
}

bool LowEnergyPersistency::isMonitored(const std::optional<std::string>& identifier) {
    if (!identifier) return false;
    const auto& monitored = copies().monitoredDevices;
    return std::find(monitored.begin(), monitored.end(), *identifier) != monitored.end();
}

}  // namespace RuduredOro
