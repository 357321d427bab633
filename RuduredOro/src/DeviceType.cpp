#include "RuduredOro/DeviceType.hpp"

#include "RuduredOro/Resources.hpp"

namespace RuduredOro {

namespace {

struct Names {
    std::string raw;
    std::string key;
};

const std::array<Names, 8>& names() {
    static const std::array<Names, 8> table{{
        {"undefined", "UNDEFINED"},
        {"Keyboard", "KEYBOARD"},
        {"Mouse", "MOUSE"},
        {"Trackpad", "TRACKPAD"},
        {"Headphones", "HEADPHONES"},
        {"Headset", "HEADSET"},
        {"Low Energy", "LOW_ENERGY"},
        {"CHARGING_CASE", "CHARGING_CASE"},
    }};
    return table;
}

}  // namespace

const std::array<DeviceType, 8>& DeviceType::allCases() {
    static const std::array<DeviceType, 8> cases{undefined, keyboard, mouse,     trackpad,
                                                 headphones, headset, lowEnergy, chargingCase};
    return cases;
}

const std::string& DeviceType::rawValue() const { return names()[static_cast<std::size_t>(value_)].raw; }

std::optional<DeviceType> DeviceType::from(const std::string& raw) {
    for (auto type : allCases()) {
        if (type.rawValue() == raw) return type;
    }
    return std::nullopt;
}

std::string DeviceType::description() const {
    return Resources::localized(names()[static_cast<std::size_t>(value_)].key, "");
}

}  // namespace RuduredOro
