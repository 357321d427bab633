#include <zlib.h>

#include <algorithm>
#include <bit>
#include <limits>

#include "Foundation/Compression.hpp"
#include "ZuzeDiv/DataExtensions.hpp"

namespace ZuzeDiv {

std::string base64URLEncodedString(const Data& data) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= data.size(); i += 3) {
        const std::uint32_t group = (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        for (int shift : {18, 12, 6, 0}) out += alphabet[(group >> shift) & 63];
    }
    if (const std::size_t rest = data.size() - i; rest > 0) {
        std::uint32_t group = std::uint32_t{data[i]} << 16;
        if (rest == 2) group |= std::uint32_t{data[i + 1]} << 8;
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        if (rest == 2) out += alphabet[(group >> 6) & 63];
    }
    return out;
}

float bigEndianFloat(const Data& data) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits = (bits << 8) | (i < data.size() ? data[i] : 0);
    return std::bit_cast<float>(bits);
}

std::uint32_t uint32OrZero(double value) {
    if (!(value >= 0.0 && value <= 4294967295.0)) return 0;
    return static_cast<std::uint32_t>(value);
}

bool isGzipped(const Data& data) { return data.size() >= 2 && data[0] == 0x1F && data[1] == 0x8B; }

namespace {
constexpr std::size_t zlibLimit = std::numeric_limits<uInt>::max();

// The size a gzip member says it inflates to (its last four bytes, modulo 2^32), as a hint for the
// first buffer; the stream itself decides. A trailer may lie, so the hint is believed only up to
// 32 times the input: beyond that the buffer grows as the data really arrives.
std::size_t gzipSizeHint(const Data& data) {
    if (!isGzipped(data) || data.size() < 18) return 0;
    const std::size_t n = data.size();
    const std::size_t size = std::size_t{data[n - 4]} | (std::size_t{data[n - 3]} << 8) | (std::size_t{data[n - 2]} << 16) |
                             (std::size_t{data[n - 1]} << 24);
    return std::min(size, data.size() * 32);
}
}  // namespace

std::optional<Data> gunzipped(const Data& data) {
    if (data.empty() || data.size() > zlibLimit) return std::nullopt;
    z_stream stream{};
    // Window bits 47: 15 plus 32, so that zlib detects a zlib or a gzip header by itself.
    if (inflateInit2_(&stream, 47, "1.2.11", static_cast<int>(sizeof(z_stream))) != Z_OK) return std::nullopt;

    // The output starts at twice the input (or the size a gzip trailer announces) and grows by at
    // least half the input, and by at least what it already holds, so that big ratios do not
    // copy the output over and over; it stops one byte past the largest output taken, and a
    // stream that fills that byte too is refused.
    constexpr std::size_t bufferLimit = maximumGunzippedSize + 1;
    Data output(std::min(std::max(data.size() * 2, gzipSizeHint(data)), bufferLimit));
    const std::size_t step = data.size() / 2;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out >= output.size()) {
            if (output.size() >= bufferLimit) break;
            output.resize(std::min(output.size() + std::max({step, output.size(), std::size_t{1}}), bufferLimit));
        }
        stream.next_in = const_cast<Bytef*>(data.data()) + stream.total_in;
        stream.avail_in = static_cast<uInt>(data.size() - stream.total_in);
        stream.next_out = output.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(std::min(output.size() - stream.total_out, zlibLimit));
        status = inflate(&stream, Z_SYNC_FLUSH);
    }
    const bool ended = inflateEnd(&stream) == Z_OK;
    if (!ended || status != Z_STREAM_END || stream.total_out > maximumGunzippedSize) return std::nullopt;
    output.resize(stream.total_out);
    return output;
}

namespace {
std::optional<Data> runStream(const Data& input, compression_stream_operation operation) {
    if (input.empty()) return std::nullopt;
    compression_stream stream{};
    if (compression_stream_init(&stream, operation, COMPRESSION_ZLIB) == COMPRESSION_STATUS_ERROR) return std::nullopt;
    struct Release {
        compression_stream* stream;
        ~Release() { compression_stream_destroy(stream); }
    } release{&stream};

    // One work buffer of the input's size, kept within 64 bytes and 64 KiB, reused for every step.
    Data work(std::clamp<std::size_t>(input.size(), 64, 65536));
    Data output;
    stream.src_ptr = input.data();
    stream.src_size = input.size();
    stream.dst_ptr = work.data();
    stream.dst_size = work.size();
    for (;;) {
        switch (compression_stream_process(&stream, COMPRESSION_STREAM_FINALIZE)) {
            case COMPRESSION_STATUS_OK:
                // More is to come only when the buffer filled; otherwise the data stopped short.
                if (stream.dst_size != 0) return std::nullopt;
                output.insert(output.end(), work.begin(), work.end());
                stream.dst_ptr = work.data();
                stream.dst_size = work.size();
                break;
            case COMPRESSION_STATUS_END:
                output.insert(output.end(), work.begin(), work.begin() + static_cast<std::ptrdiff_t>(work.size() - stream.dst_size));
                return output;
            case COMPRESSION_STATUS_ERROR: return std::nullopt;
        }
    }
}
}  // namespace

std::optional<Data> zlibCompressed(const Data& data) { return runStream(data, COMPRESSION_STREAM_ENCODE); }
std::optional<Data> zlibDecompressed(const Data& data) { return runStream(data, COMPRESSION_STREAM_DECODE); }

}  // namespace ZuzeDiv
