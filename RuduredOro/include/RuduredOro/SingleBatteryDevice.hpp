#pragma once
// A device with one battery level: what the registry finder makes for every keyboard, mouse and
// trackpad, and what the profiler reader makes for a device with one level or a charging case.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "IOKit/CFValue.hpp"
#include "RuduredOro/BatteryDevice.hpp"

namespace RuduredOro {

class SingleBatteryDevice : public BatteryDevice {
public:
    /// A device whose level is read from a number that may be a fraction or a percent:
    /// a floating-point number in (0, 1] is a fraction (times 100 in single precision, truncated:
    /// 0.53 gives 52); otherwise the number truncated toward zero is the level when it lies in
    /// 1...100 (so the whole number 1 is 1 %); anything else leaves the level absent.
    SingleBatteryDevice(DeviceType type, std::string name, const CFNumber& percent);
    /// The same device with its serial given in place of a random one.
    SingleBatteryDevice(DeviceType type, std::string name, const CFNumber& percent, std::string serial);
    /// A device as the profiler reports it: the manufacturer from the vendor id, and the type
    /// from the type text when that is exactly a raw value of DeviceType (else undefined).
    SingleBatteryDevice(std::string name, std::string serial, std::uint16_t vendorId, std::optional<std::int64_t> productId,
                        std::uint8_t level, const std::optional<std::string>& type);
    /// Reads exactly the base keyed format. Throws DecodingError.
    explicit SingleBatteryDevice(const KeyedContainer& container);

    /// Sample devices, each a new object: "Test Keyboard" at 100, "Test Magic Mouse" at 66,
    /// "Test Trackpad" at 33, and any whole percent with any type and name.
    static std::shared_ptr<SingleBatteryDevice> testKeyboard();
    static std::shared_ptr<SingleBatteryDevice> testMagicMouse();
    static std::shared_ptr<SingleBatteryDevice> testTrackpad();
    static std::shared_ptr<SingleBatteryDevice> testDevice(int percent, DeviceType type, const std::string& name);

private:
    static std::optional<std::uint8_t> level(const CFNumber& percent);
};

}  // namespace RuduredOro
