#include "ZuzeDiv/DataExtensions.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ZuzeDiv {

namespace {
std::uint32_t littleEndian(const Data& data, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0, n = std::min(width, data.size()); i < n; ++i) value |= std::uint32_t{data[i]} << (8 * i);
    return value;
}
}  // namespace

std::uint8_t byteAt(const Data& data, std::size_t index) {
    if (index >= data.size())
        throw std::out_of_range("byte index " + std::to_string(index) + " outside data of " +
                                std::to_string(data.size()) + " bytes");
    return data[index];
}

std::uint8_t uint8Value(const Data& data) { return static_cast<std::uint8_t>(littleEndian(data, 1)); }
std::uint16_t uint16Value(const Data& data) { return static_cast<std::uint16_t>(littleEndian(data, 2)); }
std::uint32_t uint32Value(const Data& data) { return littleEndian(data, 4); }

}  // namespace ZuzeDiv
