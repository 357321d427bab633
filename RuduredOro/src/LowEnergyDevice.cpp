#include "RuduredOro/LowEnergyDevice.hpp"

#include <algorithm>

#include "RarAvi/Devices.hpp"
#include "RuduredOro/Resources.hpp"
#include "ZuzeDiv/DateExtensions.hpp"
#include "ZuzeDiv/Images.hpp"

namespace RuduredOro {

namespace {

/// The words of a text between single blanks; two blanks in a row give an empty word.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> found;
    std::string::size_type start = 0;
    for (;;) {
        auto blank = text.find(' ', start);
        found.push_back(text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        if (blank == std::string::npos) return found;
        start = blank + 1;
    }
}

bool holds(const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

}  // namespace

LowEnergyDevice::LowEnergyDevice(std::shared_ptr<CBPeripheral> peripheral) : BatteryDevice(DeviceType::undefined, "") {
    peripheral_ = std::move(peripheral);
    setSerial(peripheral_->identifier().uuidString());
    auto name = peripheral_->name() ? *peripheral_->name() : Resources::localized("UNKNOWN", "");
    setName(name);
    model_ = name;
    lastUpdate_ = ZuzeDiv::currentTimestamp();
}

LowEnergyDevice::LowEnergyDevice(const KeyedContainer& container) : BatteryDevice(container) {}

const std::vector<std::string>& LowEnergyDevice::logitechKeyboards() const {
    static const std::vector<std::string> list{"K835", "Keys",  "KEYS", "K860", "K600", "K375s",
                                               "CRAFT", "K780", "K280e", "K480", "K380", "K830",
                                               "K400", "K740", "K750", "K800", "K270", "K360"};
    return list;
}

const std::vector<std::string>& LowEnergyDevice::logitechMice() const {
    static const std::vector<std::string> list{"M575", "M350", "Anywhere", "M190", "Master", "M705", "MASTER", "Vertical",
                                               "M590", "M545", "M171",     "ERGO", "M500",   "M720", "M187",   "M330",
                                               "M535", "M220", "M510",     "M280", "M235",   "M325", "M185"};
    return list;
}

std::unordered_map<PropertyKey, std::string> LowEnergyDevice::infoStrings() const {
    std::unordered_map<PropertyKey, std::string> strings;
    if (softwareRevision_) strings.emplace(PropertyKey::softwareRevision, *softwareRevision_);
    if (hardwareRevision_) strings.emplace(PropertyKey::hardwareRevision, *hardwareRevision_);
    if (firmwareRevision_) strings.emplace(PropertyKey::firmware, *firmwareRevision_);
    if (serialNumber_) strings.emplace(PropertyKey::serialNumber, *serialNumber_);
    if (bluetoothSerial_) strings.emplace(PropertyKey::bluetoothSerial, *bluetoothSerial_);
    return strings;
}

std::string LowEnergyDevice::category() const {
    const char* key = "UNKNOWN";
    if (isMouse_) {
        key = "POINTING_DEVICE";
    } else if (isKeyboard_) {
        key = "KEYBOARD";
    } else if (model_) {
        // After a catalogue hit the finder has put the marketing name here, which the catalogue
        // does not know: such a device is "unknown" unless a flag tells more.
        if (auto device = RarAvi::Devices::device(*model_)) {
            if (std::dynamic_pointer_cast<RarAvi::Tablet>(device)) {
                key = "TABLET";
            } else if (std::dynamic_pointer_cast<RarAvi::Watch>(device)) {
                key = "APPLE_WATCH";
            } else if (std::dynamic_pointer_cast<RarAvi::Phone>(device)) {
                key = "IPHONE";
            } else if (std::dynamic_pointer_cast<RarAvi::Audio>(device)) {
                key = "IPOD";
            }
        }
    }
    return Resources::localized(key, "");
}

std::shared_ptr<NSImage> LowEnergyDevice::symbolName() const {
    if (internalName()) {
        if (auto device = RarAvi::Devices::device(*internalName())) {
            const char* symbol = nullptr;
            if (std::dynamic_pointer_cast<RarAvi::Tablet>(device)) {
                symbol = "ipad";
            } else if (std::dynamic_pointer_cast<RarAvi::Watch>(device)) {
                symbol = "applewatch";
            } else if (std::dynamic_pointer_cast<RarAvi::Phone>(device)) {
                symbol = "iphone";
            } else if (std::dynamic_pointer_cast<RarAvi::Audio>(device)) {
                symbol = "ipod";
            }
            if (symbol) return ZuzeDiv::Images::systemSymbol(symbol);
        }
    }
    if (manufacturer() && manufacturer()->find("Logitech") != std::string::npos) {
        for (const auto& word : words(name())) {
            if (holds(logitechMice(), word)) return ZuzeDiv::Images::systemSymbol("cursorarrow");
            if (holds(logitechKeyboards(), word)) return ZuzeDiv::Images::systemSymbol("keyboard");
        }
    }
    return BatteryDevice::symbolName();
}

}  // namespace RuduredOro
