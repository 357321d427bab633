#include "Foundation/UUID.hpp"

#include <random>

#include "Foundation/HexDigits.hpp"

UUID::UUID() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uint64_t high = generator(), low = generator();
    for (int i = 0; i < 8; ++i) {
        bytes_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(high >> (56 - 8 * i));
        bytes_[static_cast<std::size_t>(8 + i)] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
    }
    bytes_[6] = static_cast<std::uint8_t>((bytes_[6] & 0x0F) | 0x40);
    bytes_[8] = static_cast<std::uint8_t>((bytes_[8] & 0x3F) | 0x80);
}

std::optional<UUID> UUID::fromString(const std::string& text) {
    if (text.size() != 36) return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t b = 0;
    for (std::size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        auto byte = hexNumber(std::string_view(text).substr(i, 2));
        if (!byte) return std::nullopt;
        bytes[b++] = static_cast<std::uint8_t>(*byte);
        i += 2;
    }
    return UUID(bytes);
}

std::string UUID::uuidString() const {
    // Where each byte's two digits go in "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
    static constexpr std::array<std::uint8_t, 16> places{0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
    static constexpr char digits[] = "0123456789ABCDEF";
    std::array<char, 36> text;
    text.fill('-');
    for (std::size_t i = 0; i < 16; ++i) {
        text[places[i]] = digits[bytes_[i] >> 4];
        text[places[i] + 1] = digits[bytes_[i] & 15];
    }
    return std::string(text.data(), text.size());
}
