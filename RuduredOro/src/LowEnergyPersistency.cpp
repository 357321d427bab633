#include "RuduredOro/LowEnergyPersistency.hpp"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "Foundation/UserDefaults.hpp"

namespace RuduredOro {

const std::string LowEnergyPersistency::noBatteryServiceDevicesKey = "NoBatteryServiceDevices";
const std::string LowEnergyPersistency::monitoredDevicesKey = "MonitoredDevicesKey";

namespace {

/// A stored list: an array of texts, or the empty list for anything else.
std::vector<std::string> identifiersIn(const std::optional<PropertyListValue>& value) {
    std::vector<std::string> texts;
    if (!value || !value->isArray()) return texts;
    for (const auto& item : *value->arrayValue()) {
        auto text = item.stringValue();
        if (!text) return {};
        texts.push_back(std::move(*text));
    }
    return texts;
}

std::vector<std::string> stored(const std::string& key) { return identifiersIn(UserDefaults::standard().object(key)); }

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

/// Changes the list as stored now, and again under the lock of the defaults when it is written, so
/// that what another process stored meanwhile is kept, and replaces the copy. The change is kept
/// until it is written, so it holds its own values.
void edit(const std::string& key, std::vector<std::string>& copy, std::function<void(std::vector<std::string>&)> change) {
    auto value = UserDefaults::standard().update(key, [change = std::move(change)](std::optional<PropertyListValue> stored) {
        auto identifiers = identifiersIn(stored);
        change(identifiers);
        return std::optional<PropertyListValue>(identifiers);
    });
    copy = identifiersIn(value);
}

void add(const std::string& key, std::vector<std::string> added, std::vector<std::string>& copy) {
    edit(key, copy, [added = std::move(added)](std::vector<std::string>& identifiers) {
        std::unordered_set<std::string> present(identifiers.begin(), identifiers.end());
        for (const auto& identifier : added) {
            if (present.insert(identifier).second) identifiers.push_back(identifier);
        }
    });
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
    addNoBatteryServiceDevices({identifier});
}

void LowEnergyPersistency::addNoBatteryServiceDevices(const std::vector<std::string>& identifiers) {
    add(noBatteryServiceDevicesKey, identifiers, copies().noBatteryServiceDevices);
}

void LowEnergyPersistency::addMonitoredDevice(const std::string& identifier) {
    add(monitoredDevicesKey, {identifier}, copies().monitoredDevices);
}

void LowEnergyPersistency::removeMonitoredDevice(const std::string& identifier) {
    edit(monitoredDevicesKey, copies().monitoredDevices,
         [identifier](std::vector<std::string>& identifiers) { std::erase(identifiers, identifier); });
}

bool LowEnergyPersistency::isMonitored(const std::optional<std::string>& identifier) {
    if (!identifier) return false;
    const auto& monitored = copies().monitoredDevices;
    return std::find(monitored.begin(), monitored.end(), *identifier) != monitored.end();
}

}  // namespace RuduredOro
