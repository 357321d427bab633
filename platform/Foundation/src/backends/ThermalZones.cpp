#include "backends/ThermalZones.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace thermalzones {

namespace {

namespace fs = std::filesystem;
using State = ProcessInfo::ThermalState;

// A sysfs attribute is at most a page.
constexpr std::size_t maximumAttributeSize = 4096;

template <class T>
std::optional<T> readValue(const fs::path& file) {
    auto text = RegularFile::contents(file, maximumAttributeSize);
    if (!text) return std::nullopt;
    std::istringstream in(*text);
    T value{};
    if (!(in >> value)) return std::nullopt;
    return value;
}

std::optional<State> stateOfTripType(const std::string& type) {
    if (type == "passive") return State::fair;
    if (type == "hot") return State::serious;
    if (type == "critical") return State::critical;
    return std::nullopt;  // "active": fans, which a machine at work runs as a matter of course
}

State stateOfZone(const fs::path& zone) {
    State state = State::nominal;
    if (readValue<std::string>(zone / "mode") == std::optional<std::string>("disabled")) return state;
    auto temperature = readValue<long>(zone / "temp");
    if (!temperature) return state;
    for (int trip = 0;; ++trip) {
        const auto prefix = "trip_point_" + std::to_string(trip);
        auto type = readValue<std::string>(zone / (prefix + "_type"));
        if (!type) break;
        auto limit = readValue<long>(zone / (prefix + "_temp"));
        auto tripState = stateOfTripType(*type);
        // Firmware fills unused trip points with zero or less: they are no limit.
        if (!limit || *limit <= 0 || *temperature < *limit || !tripState) continue;
        state = std::max(state, *tripState);
    }
    return state;
}

}  // namespace

ProcessInfo::ThermalState state() {
    State state = State::nominal;
    std::error_code error;
    for (fs::directory_iterator it(SystemRoot::resolve("/sys/class/thermal"), error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().starts_with("thermal_zone")) state = std::max(state, stateOfZone(it->path()));
    }
    return state;
}

}  // namespace thermalzones
