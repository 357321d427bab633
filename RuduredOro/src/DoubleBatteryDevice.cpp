#include "RuduredOro/DoubleBatteryDevice.hpp"

#include <utility>

#include "Foundation/ProcessInfo.hpp"
#include "KeyedCoding.hpp"
#include "RuduredOro/Manufacturers.hpp"
#include "Text.hpp"
#include "ZuzeDiv/Images.hpp"

namespace RuduredOro {

namespace {

/// The left and right symbol names for a device name.
std::pair<std::string, std::string> earbudSymbols(const std::string& deviceName) {
    auto name = lowercased(deviceName);
    auto contains = [&](const char* word) { return name.find(word) != std::string::npos; };
    if (contains("airpods") && contains("pro")) return {"airpodpro.left", "airpodpro.right"};
    if (contains("airpods")) return {"airpod.left", "airpod.right"};
    if (contains("beats") && ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0})) {
        return {"beats.powerbeatspro.left", "beats.powerbeatspro.right"};
    }
    return {"l.circle.fill", "r.circle.fill"};
}

}  // namespace

DoubleBatteryDevice::DoubleBatteryDevice(std::string name, std::string serial, std::uint16_t vendorId,
                                         std::optional<std::int64_t> productId, std::optional<std::uint8_t> firstLevel,
                                         std::optional<std::uint8_t> secondLevel, const std::optional<std::string>& type)
    : BatteryDevice(DeviceType::headphones, std::move(name)) {
    setSerial(std::move(serial));
    setManufacturer(Manufacturers::name(vendorId));
    setProductId(productId);
    firstLevel_ = firstLevel;
    secondLevel_ = secondLevel;
    if (type) {
        if (auto known = DeviceType::from(*type)) setType(*known);
    }
}

DoubleBatteryDevice::DoubleBatteryDevice(const KeyedContainer& container) : BatteryDevice(container) {
    // What the encoder writes as null for an absent level reads back as absent.
    firstLevel_ = coding::decodeIfPresent<std::uint8_t>(container, "firstLevel");
    secondLevel_ = coding::decodeIfPresent<std::uint8_t>(container, "secondLevel");
}

std::shared_ptr<NSImage> DoubleBatteryDevice::leftSymbolName() const {
    return ZuzeDiv::Images::systemSymbol(earbudSymbols(name()).first);
}

std::shared_ptr<NSImage> DoubleBatteryDevice::rightSymbolName() const {
    return ZuzeDiv::Images::systemSymbol(earbudSymbols(name()).second);
}

void DoubleBatteryDevice::encode(KeyedContainer& container) const {
    BatteryDevice::encode(container);
    container["firstLevel"] = firstLevel_ ? KeyedContainer(*firstLevel_) : KeyedContainer(nullptr);
    container["secondLevel"] = secondLevel_ ? KeyedContainer(*secondLevel_) : KeyedContainer(nullptr);
}

}  // namespace RuduredOro
