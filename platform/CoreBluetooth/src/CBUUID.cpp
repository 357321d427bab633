#include "CoreBluetooth/CBUUID.hpp"

#include <stdexcept>

#include "Foundation/HexDigits.hpp"

namespace {

// 00000000-0000-1000-8000-00805F9B34FB: short identifiers fill its first four bytes.
constexpr std::array<std::uint8_t, 16> baseIdentifier{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                      0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};

bool isBased(const std::array<std::uint8_t, 16>& bytes) {
    for (std::size_t i = 4; i < 16; ++i) {
        if (bytes[i] != baseIdentifier[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<CBUUID> CBUUID::fromString(std::string_view text) {
    std::string digits;
    if (text.size() == 4 || text.size() == 8) {
        digits = std::string(8 - text.size(), '0') + std::string(text);
    } else if (text.size() == 36) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            bool dash = i == 8 || i == 13 || i == 18 || i == 23;
            if (dash != (text[i] == '-')) return std::nullopt;
            if (!dash) digits += text[i];
        }
    } else {
        return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes = baseIdentifier;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        auto byte = hexNumber(std::string_view(digits).substr(i, 2));
        if (!byte) return std::nullopt;
        bytes[i / 2] = static_cast<std::uint8_t>(*byte);
    }
    return CBUUID(bytes);
}

CBUUID::CBUUID(std::string_view text) {
    auto parsed = fromString(text);
    if (!parsed) throw std::invalid_argument("not a Bluetooth identifier: " + std::string(text));
    bytes_ = parsed->bytes_;
}

Data CBUUID::data() const {
    std::size_t begin = 0, end = 16;
    if (isBased(bytes_)) {
        end = 4;
        begin = bytes_[0] == 0 && bytes_[1] == 0 ? 2 : 0;
    }
    return Data(bytes_.begin() + static_cast<std::ptrdiff_t>(begin), bytes_.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string CBUUID::uuidString() const {
    static const char* hex = "0123456789ABCDEF";
    auto bytes = data();
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.size() == 16 && (i == 4 || i == 6 || i == 8 || i == 10)) text += '-';
        text += hex[bytes[i] >> 4];
        text += hex[bytes[i] & 0x0F];
    }
    return text;
}

std::size_t std::hash<CBUUID>::operator()(const CBUUID& uuid) const noexcept {
    std::size_t value = 0;
    for (auto byte : uuid.bytes()) value = value * 131 + byte;
    return value;
}
