#pragma once
// Hardware profiles: a JSON file that stands in for the machine. Its "registry" array lists
// registry entries; other sections (such as "bluetooth") belong to other parts of the platform,
// which find the same file through HardwareProfile::path().
//
//   { "registry": [
//       { "id": "receiver", "class": "IOUSBHostDevice", "properties": { ... } },
//       { "class": "AppleDeviceManagementHIDEventService", "superclasses": ["IOHIDEventService"],
//         "parent": "receiver", "properties": { "Product": "Wireless Mouse", "BatteryPercent": 64 } } ] }
//
// "id" names an entry for the "parent" of others (null or missing: a root). Property values are
// JSON texts, numbers (whole or not), Booleans, arrays and objects; a null property is left out.
//
// A "powerSources" array lists the machine's power sources, each an object of its description
// ({ "Name": "BAT0", "Type": "InternalBattery", "Current Capacity": 87, "Is Charging": false }),
// with values as for registry properties.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "IOKit/IORegistry.hpp"

/// A profile that cannot be read or is not shaped as a profile.
class HardwareProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HardwareProfile {
public:
    HardwareProfile() = delete;

    /// The environment variable that names a profile file.
    static constexpr const char* environmentVariable = "QUILLON_HARDWARE_PROFILE";

    /// The profile the machine is simulated from, when the environment names one (a non-empty
    /// value); absent: the real machine.
    static std::optional<std::filesystem::path> path();

    /// The largest profile read, in bytes, and the deepest nesting of its arrays and objects.
    static constexpr std::size_t maximumSize = 16 * 1024 * 1024;
    static constexpr std::size_t maximumNesting = 64;

    /// The text of a profile file. Throws HardwareProfileError, naming the file, when it cannot
    /// be read (a folder, say), is larger than maximumSize (a device that never ends) or nests
    /// deeper than maximumNesting.
    static std::string readText(const std::filesystem::path& file);
    /// Reads and parses a profile file; the top level must be an object.
    static nlohmann::json read(const std::filesystem::path& file);

    /// The registry entries of a parsed profile, in the file's order, with parents linked; an
    /// entry may have at most maximumNesting ancestors.
    static std::vector<std::shared_ptr<const IORegistryEntry>> registryEntries(const nlohmann::json& profile);

    /// The power sources of a parsed profile, in the file's order.
    static CFArray powerSources(const nlohmann::json& profile);

    /// A registry value from a JSON value; absent for null.
    static std::optional<CFValue> registryValue(const nlohmann::json& value);
};

/// The registry and power sources of a profile file, read once when the provider is made.
class HardwareProfileProvider : public StaticRegistryProvider {
public:
    /// Throws HardwareProfileError, naming the file, when it cannot be read or is malformed.
    explicit HardwareProfileProvider(const std::filesystem::path& file);

private:
    explicit HardwareProfileProvider(std::pair<std::vector<std::shared_ptr<const IORegistryEntry>>, CFArray> registry);
};
