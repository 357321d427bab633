#pragma once
// Files from outside, read with care: only a regular file is read (a FIFO, a device, a socket or a
// folder at the path, or a link to one, is refused without waiting on it), and never more than the
// caller's stated number of bytes. Paths are the host's own (resolve system paths first).
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

class RegularFile {
public:
    RegularFile() = delete;

    /// The whole file; absent when it is no regular file, cannot be read or holds more than
    /// `maximumSize` bytes (kernel files that tell no size are read up to the limit). `error`, when
    /// given, tells why it is absent: the failure's errno, EINVAL for no regular file, EFBIG for
    /// one too long.
    static std::optional<std::string> contents(const std::filesystem::path& path, std::size_t maximumSize,
                                               std::error_code* error = nullptr);
    /// The file's first `count` bytes (all of a shorter file); absent when it is no regular file or
    /// cannot be read.
    static std::optional<std::string> firstBytes(const std::filesystem::path& path, std::size_t count);
};
