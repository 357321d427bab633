#pragma once
// Byte buffers: integers read least significant byte first, values to and from their raw bytes,
// URL-safe Base64, and inflating and deflating through zlib.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>

#include "Foundation/Data.hpp"

namespace ZuzeDiv {

/// The byte at `index`; throws std::out_of_range for an index outside the data.
std::uint8_t byteAt(const Data& data, std::size_t index);

/// The first 1, 2 or 4 bytes as an unsigned integer; missing bytes count as 0, so empty data is 0.
std::uint8_t uint8Value(const Data& data);
std::uint16_t uint16Value(const Data& data);
std::uint32_t uint32Value(const Data& data);

/// The value's raw in-memory bytes, in the machine's byte order.
template <class T>
Data dataFromValue(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values have raw bytes");
    Data data(sizeof(T));
    std::memcpy(data.data(), &value, sizeof(T));
    return data;
}

/// A value of type T from the first sizeof(T) bytes, in the machine's byte order; absent when the
/// data is shorter.
template <class T>
std::optional<T> to(const Data& data) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values have raw bytes");
    if (data.size() < sizeof(T)) return std::nullopt;
    T value{};
    std::memcpy(&value, data.data(), sizeof(T));
    return value;
}

/// Base64 with "-" for "+", "_" for "/" and no "=" padding.
std::string base64URLEncodedString(const Data& data);

/// The first four bytes, most significant first, as the bits of a single-precision number;
/// missing low-order bytes count as 0.
float bigEndianFloat(const Data& data);

/// The integer part of a value in 0...4294967295; 0 for anything else (NaN and infinities too).
std::uint32_t uint32OrZero(double value);

/// Whether the data starts with the gzip magic bytes 1F 8B.
bool isGzipped(const Data& data);

/// The most bytes that gunzipped() gives: 4 GiB less one byte, what zlib's 32-bit counts hold. A
/// stream that would give more is refused. Callers that inflate data from outside bound it
/// themselves.
constexpr std::size_t maximumGunzippedSize = 0xFFFF'FFFF;

/// The inflated bytes of a gzip or zlib stream (the header tells which); absent for empty data,
/// a damaged or truncated stream, input of 4 GiB or more, or more than maximumGunzippedSize bytes
/// of output.
std::optional<Data> gunzipped(const Data& data);

/// Raw deflate data (no header) through the stream compressor, and back; absent for empty input
/// and for data that does not decode in full. The decoded data is as large as the stream makes
/// it: callers that decode data from outside bound it themselves.
std::optional<Data> zlibCompressed(const Data& data);
std::optional<Data> zlibDecompressed(const Data& data);

}  // namespace ZuzeDiv
