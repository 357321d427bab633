#include "Foundation/Compression.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {
struct StreamState {
    z_stream z{};
    bool encoding = false;
    bool finished = false;
};

// Deflate level 5, as the platform's zlib encoder uses.
constexpr int encoderLevel = 5;
constexpr std::size_t chunkLimit = std::numeric_limits<uInt>::max();
}  // namespace

compression_status compression_stream_init(compression_stream* stream, compression_stream_operation operation,
                                           compression_algorithm algorithm) {
    if (!stream || algorithm != COMPRESSION_ZLIB) return COMPRESSION_STATUS_ERROR;
    auto* state = new StreamState;
    state->encoding = operation == COMPRESSION_STREAM_ENCODE;
    int result = state->encoding ? deflateInit2(&state->z, encoderLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY)
                                 : inflateInit2(&state->z, -15);
    if (result != Z_OK) {
        delete state;
        stream->state = nullptr;
        return COMPRESSION_STATUS_ERROR;
    }
    stream->state = state;
    return COMPRESSION_STATUS_OK;
}

compression_status compression_stream_process(compression_stream* stream, int flags) {
    if (!stream || !stream->state) return COMPRESSION_STATUS_ERROR;
    auto* state = static_cast<StreamState*>(stream->state);
    if (state->finished) return COMPRESSION_STATUS_END;
    const bool finalize = (flags & COMPRESSION_STREAM_FINALIZE) != 0;
    // zlib counts in 32 bits: feed larger buffers in pieces until input or output runs out.
    for (;;) {
        const uInt inChunk = static_cast<uInt>(std::min(stream->src_size, chunkLimit));
        const uInt outChunk = static_cast<uInt>(std::min(stream->dst_size, chunkLimit));
        state->z.next_in = const_cast<Bytef*>(stream->src_ptr);
        state->z.avail_in = inChunk;
        state->z.next_out = stream->dst_ptr;
        state->z.avail_out = outChunk;
        const bool lastInput = finalize && inChunk == stream->src_size;
        int result = state->encoding ? deflate(&state->z, lastInput ? Z_FINISH : Z_NO_FLUSH)
                                     : inflate(&state->z, Z_NO_FLUSH);
        const std::size_t consumed = inChunk - state->z.avail_in;
        const std::size_t produced = outChunk - state->z.avail_out;
        stream->src_ptr += consumed;
        stream->src_size -= consumed;
        stream->dst_ptr += produced;
        stream->dst_size -= produced;
        if (result == Z_STREAM_END) {
            state->finished = true;
            return COMPRESSION_STATUS_END;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) return COMPRESSION_STATUS_ERROR;
        if (stream->dst_size == 0 || stream->src_size == 0) return COMPRESSION_STATUS_OK;
        if (consumed == 0 && produced == 0) return COMPRESSION_STATUS_OK;
    }
}

compression_status compression_stream_destroy(compression_stream* stream) {
    if (!stream || !stream->state) return COMPRESSION_STATUS_ERROR;
    auto* state = static_cast<StreamState*>(stream->state);
    if (state->encoding) {
        deflateEnd(&state->z);
    } else {
        inflateEnd(&state->z);
    }
    delete state;
    stream->state = nullptr;
    return COMPRESSION_STATUS_OK;
}
