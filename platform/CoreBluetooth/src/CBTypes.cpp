#include "CoreBluetooth/CBTypes.hpp"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<CBManagerState, const char*>, 6> managerStateNames{{
    {CBManagerState::unknown, "unknown"},
    {CBManagerState::resetting, "resetting"},
    {CBManagerState::unsupported, "unsupported"},
    {CBManagerState::unauthorized, "unauthorized"},
    {CBManagerState::poweredOff, "poweredOff"},
    {CBManagerState::poweredOn, "poweredOn"},
}};

}  // namespace

std::optional<CBManagerState> managerStateFromRawValue(std::int64_t raw) {
    if (raw < 0 || raw > 5) return std::nullopt;
    return static_cast<CBManagerState>(raw);
}

std::string managerStateName(CBManagerState state) {
    for (const auto& [value, name] : managerStateNames) {
        if (value == state) return name;
    }
    return "unknown";
}

std::optional<CBManagerState> managerStateFromName(const std::string& name) {
    for (const auto& [value, text] : managerStateNames) {
        if (name == text) return value;
    }
    return std::nullopt;
}

std::optional<CBPeripheralState> peripheralStateFromRawValue(std::int64_t raw) {
    if (raw < 0 || raw > 3) return std::nullopt;
    return static_cast<CBPeripheralState>(raw);
}
