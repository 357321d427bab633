#pragma once
// Stream compression over zlib: raw deflate data (no zlib or gzip header), encoded or decoded in
// steps through caller-owned buffers. Each process call consumes input from src_ptr/src_size and
// writes output to dst_ptr/dst_size, moving the pointers and sizes on.
#include <cstddef>
#include <cstdint>

enum compression_stream_operation { COMPRESSION_STREAM_ENCODE = 0, COMPRESSION_STREAM_DECODE = 1 };
enum compression_algorithm : int { COMPRESSION_ZLIB = 1 };
enum compression_stream_flags { COMPRESSION_STREAM_FINALIZE = 1 };
/// OK: more output may follow (the output buffer filled, or more input is wanted); END: all the
/// data is through; ERROR: the data or the stream is bad.
enum compression_status { COMPRESSION_STATUS_OK = 0, COMPRESSION_STATUS_END = 1, COMPRESSION_STATUS_ERROR = -1 };

struct compression_stream {
    std::uint8_t* dst_ptr = nullptr;
    std::size_t dst_size = 0;
    const std::uint8_t* src_ptr = nullptr;
    std::size_t src_size = 0;
    void* state = nullptr;
};

compression_status compression_stream_init(compression_stream* stream, compression_stream_operation operation,
                                           compression_algorithm algorithm);
/// With COMPRESSION_STREAM_FINALIZE the input given is the last of the data.
compression_status compression_stream_process(compression_stream* stream, int flags);
compression_status compression_stream_destroy(compression_stream* stream);
