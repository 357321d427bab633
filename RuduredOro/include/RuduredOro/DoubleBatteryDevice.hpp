#pragma once
// A device with two levels: the left and right earbuds of a pair of earphones.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSImage.hpp"
#include "RuduredOro/BatteryDevice.hpp"

namespace RuduredOro {

class DoubleBatteryDevice : public BatteryDevice {
public:
    /// A pair as the profiler reports it. The vendor id serves only the manufacturer's name:
    /// `vendorId` stays absent. The type is headphones unless the type text is exactly a raw
    /// value of DeviceType.
    DoubleBatteryDevice(std::string name, std::string serial, std::uint16_t vendorId, std::optional<std::int64_t> productId,
                        std::optional<std::uint8_t> firstLevel, std::optional<std::uint8_t> secondLevel,
                        const std::optional<std::string>& type);
    /// Reads the base keyed format and then "firstLevel" and "secondLevel", each absent when
    /// missing or null. Throws DecodingError.
    explicit DoubleBatteryDevice(const KeyedContainer& container);

    /// Level of the left earbud, percent.
    std::optional<std::uint8_t> firstLevel() const { return firstLevel_; }
    void setFirstLevel(std::optional<std::uint8_t> level) { firstLevel_ = level; }
    /// Level of the right earbud, percent.
    std::optional<std::uint8_t> secondLevel() const { return secondLevel_; }
    void setSecondLevel(std::optional<std::uint8_t> level) { secondLevel_ = level; }

    /// The symbols of the two earbuds, chosen by the name; empty when the running system has no
    /// symbol of that name.
    std::shared_ptr<NSImage> leftSymbolName() const;
    std::shared_ptr<NSImage> rightSymbolName() const;

    /// The base keys, then "firstLevel" and "secondLevel", each written as null when absent.
    void encode(KeyedContainer& container) const override;

private:
    std::optional<std::uint8_t> firstLevel_;
    std::optional<std::uint8_t> secondLevel_;
};

}  // namespace RuduredOro
