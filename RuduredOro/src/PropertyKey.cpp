#include "RuduredOro/PropertyKey.hpp"

#include <array>

namespace RuduredOro {

namespace {

const std::array<std::string, 5>& rawValues() {
    static const std::array<std::string, 5> values{"serialNumber", "hardwareRevision", "softwareRevision", "firmware",
                                                   "bluetoothSerial"};
    return values;
}

}  // namespace

const std::string& PropertyKey::rawValue() const { return rawValues()[static_cast<std::size_t>(value_)]; }

std::optional<PropertyKey> PropertyKey::from(const std::string& raw) {
    for (std::size_t i = 0; i < rawValues().size(); ++i) {
        if (rawValues()[i] == raw) return PropertyKey(static_cast<Value>(i));
    }
    return std::nullopt;
}

}  // namespace RuduredOro
