#include "Foundation/HexDigits.hpp"

#include <charconv>

std::optional<std::uint32_t> hexNumber(std::string_view digits) {
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}
