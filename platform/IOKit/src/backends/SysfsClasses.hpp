#pragma once
// The registry classes of the entries the sysfs provider makes, each with the classes it derives
// from, nearest first: what an entry is made with and what a search for a class reads.
#include <memory>
#include <string>
#include <vector>

#include "IOKit/backends/SysfsRegistryProvider.hpp"

namespace sysfs {

inline constexpr const char* serviceClass = "IOService";
inline constexpr const char* batteryManagerClass = "SmartBatteryManager";

/// The class and superclasses of each kind of entry.
inline const std::vector<std::string> hidEventServiceClasses{SysfsRegistryProvider::hidEventServiceClass,
                                                             "IOHIDEventService", serviceClass};
inline const std::vector<std::string> hidUserDeviceClasses{SysfsRegistryProvider::hidUserDeviceClass, "IOHIDDevice",
                                                           serviceClass};
inline const std::vector<std::string> smartBatteryClasses{SysfsRegistryProvider::smartBatteryClass, serviceClass};
inline const std::vector<std::string> batteryManagerClasses{batteryManagerClass, serviceClass};
inline const std::vector<std::string> platformExpertClasses{SysfsRegistryProvider::platformExpertClass, serviceClass};

/// A new entry of one kind.
inline std::shared_ptr<IORegistryEntry> makeEntry(const std::vector<std::string>& classes) {
    auto entry = std::make_shared<IORegistryEntry>();
    entry->className = classes.front();
    entry->superclasses.assign(classes.begin() + 1, classes.end());
    return entry;
}

/// True when a search for the class finds entries of that kind.
inline bool finds(const std::string& className, const std::vector<std::string>& classes) {
    for (const auto& name : classes) {
        if (name == className) return true;
    }
    return false;
}

}  // namespace sysfs
