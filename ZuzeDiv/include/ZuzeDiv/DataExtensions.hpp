#pragma once
// Reading integers out of byte buffers, least significant byte first.
#include <cstddef>
#include <cstdint>

#include "Foundation/Data.hpp"

namespace ZuzeDiv {

/// The byte at `index`; throws std::out_of_range for an index outside the data.
std::uint8_t byteAt(const Data& data, std::size_t index);

/// The first 1, 2 or 4 bytes as an unsigned integer; missing bytes count as 0, so empty data is 0.
std::uint8_t uint8Value(const Data& data);
std::uint16_t uint16Value(const Data& data);
std::uint32_t uint32Value(const Data& data);

}  // namespace ZuzeDiv
