// gzip and zlib streams, inflated whole and through the stream decompressor.
#include <cstdint>

#include "ZuzeDiv/DataExtensions.hpp"

// Neither inflater bounds its output by its input, and deflate packs up to about 1032 bytes into
// one: inputs up to 64 KiB inflate to at most about 64 MiB, which a fuzzing run's memory holds.
constexpr std::size_t largestInput = 64 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size > largestInput) return 0;
    const Data data(bytes, bytes + size);
    ZuzeDiv::gunzipped(data);
    ZuzeDiv::zlibDecompressed(data);
    return 0;
}
