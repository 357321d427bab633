#pragma once
// Reading the kernel's HID devices in sysfs: their uevent and their identity.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "Foundation/HexDigits.hpp"
#include "SysfsFiles.hpp"

namespace sysfs {

// The kernel's bus number of Bluetooth in HID_ID.
inline constexpr unsigned long bluetoothBus = 0x05;
// No report descriptor is larger than this.
inline constexpr std::size_t maximumDescriptorSize = 4096;

/// KEY=VALUE lines of a uevent file.
inline std::map<std::string, std::string> readUevent(AttributeReader& reader, int folder, const char* file) {
    std::map<std::string, std::string> values;
    auto text = reader.text(folder, file);
    if (!text) return values;
    while (!text->empty()) {
        auto line = text->substr(0, text->find('\n'));
        text->remove_prefix(std::min(text->size(), line.size() + 1));
        if (auto equals = line.find('='); equals != std::string_view::npos) {
            values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
        }
    }
    return values;
}

struct HIDIdentity {
    unsigned long bus = 0, vendor = 0, product = 0;
};

/// "0005:0000046D:0000B023" (bus, vendor, product in hexadecimal).
inline std::optional<HIDIdentity> parseHIDIdentity(const std::string& text) {
    auto first = text.find(':');
    auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    auto bus = hexNumber(std::string_view(text).substr(0, first));
    auto vendor = hexNumber(std::string_view(text).substr(first + 1, second - first - 1));
    auto product = hexNumber(std::string_view(text).substr(second + 1));
    if (!bus || !vendor || !product) return std::nullopt;
    return HIDIdentity{*bus, *vendor, *product};
}

}  // namespace sysfs
