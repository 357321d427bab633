#pragma once
// Keys of a Low Energy device's Device Information texts.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace RuduredOro {

class PropertyKey {
public:
    enum Value { serialNumber, hardwareRevision, softwareRevision, firmware, bluetoothSerial };

    constexpr PropertyKey(Value value) : value_(value) {}
    constexpr operator Value() const { return value_; }

    /// "serialNumber", "hardwareRevision", "softwareRevision", "firmware" or "bluetoothSerial".
    const std::string& rawValue() const;
    /// The key of exactly that raw text; absent for any other text.
    static std::optional<PropertyKey> from(const std::string& raw);

private:
    Value value_;
};

}  // namespace RuduredOro

template <>
struct std::hash<RuduredOro::PropertyKey> {
    std::size_t operator()(RuduredOro::PropertyKey key) const { return std::hash<std::string>()(key.rawValue()); }
};
