// gzip and zlib streams, inflated whole and through the stream decompressor.
#include <cstdint>

#include "ZuzeDiv/DataExtensions.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const Data data(bytes, bytes + size);
    ZuzeDiv::gunzipped(data);
    ZuzeDiv::zlibDecompressed(data);
    return 0;
}
