#pragma once
// Reading hexadecimal digits, as identifiers, addresses and percent escapes write them.
#include <cstdint>
#include <optional>
#include <string_view>

/// The number that the hexadecimal digits (of either case) write; none when the text is empty,
/// holds anything but such digits, or writes a number beyond 32 bits.
std::optional<std::uint32_t> hexNumber(std::string_view digits);
