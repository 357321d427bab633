#include "RuduredOro/SingleBatteryDevice.hpp"

#include "RuduredOro/Manufacturers.hpp"

namespace RuduredOro {

SingleBatteryDevice::SingleBatteryDevice(DeviceType type, std::string name, const CFNumber& percent)
    : BatteryDevice(type, std::move(name)) {
    setBatteryLevel(level(percent));
}

SingleBatteryDevice::SingleBatteryDevice(DeviceType type, std::string name, const CFNumber& percent, std::string serial)
    : BatteryDevice(type, std::move(name), std::move(serial)) {
    setBatteryLevel(level(percent));
}

SingleBatteryDevice::SingleBatteryDevice(std::string name, std::string serial, std::uint16_t vendorId,
                                         std::optional<std::int64_t> productId, std::uint8_t level,
                                         const std::optional<std::string>& type)
    : BatteryDevice(DeviceType::undefined, std::move(name), std::move(serial)) {
    setManufacturer(Manufacturers::name(vendorId));
    setProductId(productId);
    setVendorId(vendorId);
    setBatteryLevel(level);
    if (type) {
        if (auto known = DeviceType::from(*type)) setType(*known);
    }
}

SingleBatteryDevice::SingleBatteryDevice(const KeyedContainer& container) : BatteryDevice(container) {}

std::optional<std::uint8_t> SingleBatteryDevice::level(const CFNumber& percent) {
    // The fraction reading belongs to floating-point numbers only: a whole number is a percent,
    // so a device at 1 % reads as 1 %, not as full.
    if (percent.isFloatType()) {
        float fraction = percent.floatValue();
        if (fraction > 0.0f && fraction <= 1.0f) {
            float product = fraction * 100.0f;
            return static_cast<std::uint8_t>(product);
        }
    }
    auto whole = percent.integerValue();
    if (whole >= 1 && whole <= 100) return static_cast<std::uint8_t>(whole);
    return std::nullopt;
}

std::shared_ptr<SingleBatteryDevice> SingleBatteryDevice::testKeyboard() {
    return testDevice(100, DeviceType::keyboard, "Test Keyboard");
}

std::shared_ptr<SingleBatteryDevice> SingleBatteryDevice::testMagicMouse() {
    return testDevice(66, DeviceType::mouse, "Test Magic Mouse");
}

std::shared_ptr<SingleBatteryDevice> SingleBatteryDevice::testTrackpad() {
    return testDevice(33, DeviceType::trackpad, "Test Trackpad");
}

std::shared_ptr<SingleBatteryDevice> SingleBatteryDevice::testDevice(int percent, DeviceType type, const std::string& name) {
    return std::make_shared<SingleBatteryDevice>(type, name, CFNumber(percent));
}

}  // namespace RuduredOro
