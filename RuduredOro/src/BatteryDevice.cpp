#include "RuduredOro/BatteryDevice.hpp"

#include <algorithm>
#include <functional>

#include "Foundation/UUID.hpp"
#include "KeyedCoding.hpp"
#include "Text.hpp"

namespace RuduredOro {

BatteryDevice::BatteryDevice(DeviceType type, std::string name)
    : type_(type), name_(std::move(name)), serial_(::UUID().uuidString()) {}

BatteryDevice::BatteryDevice(DeviceType type, std::string name, std::string serial)
    : type_(type), name_(std::move(name)), serial_(std::move(serial)) {}

BatteryDevice::BatteryDevice(const KeyedContainer& container) : serial_(::UUID().uuidString()) {
    const auto& keyed = coding::keyed(container);
    isCharging_ = coding::decode<bool>(keyed, "isCharging");
    auto typeText = coding::decode<std::string>(keyed, "type");
    auto type = DeviceType::from(typeText);
    if (!type) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, "type", "\"" + typeText + "\" is no kind of device");
    }
    type_ = *type;
    batteryLevel_ = coding::decodeIfPresent<std::uint8_t>(keyed, "batteryLevel");
    name_ = coding::decode<std::string>(keyed, "name");
    productId_ = coding::decodeIfPresent<std::int64_t>(keyed, "productId");
    serial_ = coding::decode<std::string>(keyed, "serial");
    manufacturer_ = coding::decodeIfPresent<std::string>(keyed, "manufacturer");
    vendorId_ = coding::decodeIfPresent<std::uint16_t>(keyed, "vendorId");
}

void BatteryDevice::encode(KeyedContainer& container) const {
    container["isCharging"] = isCharging_;
    container["type"] = type_.rawValue();
    coding::encodeIfPresent(container, "batteryLevel", batteryLevel_);
    container["name"] = name_;
    coding::encodeIfPresent(container, "productId", productId_);
    container["serial"] = serial_;
    coding::encodeIfPresent(container, "manufacturer", manufacturer_);
    coding::encodeIfPresent(container, "vendorId", vendorId_);
}

namespace {

/// True when the text is its own lower case: ASCII without capitals, as addresses are written.
bool isLowerCaseAscii(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80 || (c >= 'A' && c <= 'Z'); });
}

}  // namespace

bool BatteryDevice::operator==(const BatteryDevice& other) const {
    return serial_ == other.serial_ || lowercased(serial_) == lowercased(other.serial_);
}

std::size_t BatteryDevice::hashValue() const {
    if (isLowerCaseAscii(serial_)) return std::hash<std::string>()(serial_);
    return std::hash<std::string>()(lowercased(serial_));
}

}  // namespace RuduredOro
