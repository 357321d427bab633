#pragma once
// The kind of a battery-powered device. Its raw values are matched exactly against texts read
// from the registry and from the profiler's report, and are not uniform on purpose.
#include <array>
#include <optional>
#include <string>

namespace RuduredOro {

class DeviceType {
public:
    enum Value { undefined, keyboard, mouse, trackpad, headphones, headset, lowEnergy, chargingCase };

    constexpr DeviceType(Value value = undefined) : value_(value) {}
    constexpr operator Value() const { return value_; }

    /// Every case, in declaration order.
    static const std::array<DeviceType, 8>& allCases();

    /// "undefined", "Keyboard", "Mouse", "Trackpad", "Headphones", "Headset", "Low Energy",
    /// "CHARGING_CASE".
    const std::string& rawValue() const;
    /// The case whose raw value equals the text exactly (letter case and spacing included).
    static std::optional<DeviceType> from(const std::string& raw);

    /// The display name, from the module's bundle under the case's localisation key
    /// ("UNDEFINED", "KEYBOARD", "MOUSE", "TRACKPAD", "HEADPHONES", "HEADSET", "LOW_ENERGY",
    /// "CHARGING_CASE").
    std::string description() const;

private:
    Value value_;
};

}  // namespace RuduredOro
