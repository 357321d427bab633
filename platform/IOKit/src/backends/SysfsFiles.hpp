#pragma once
// Reading sysfs attributes: small text or binary files that the kernel fills on each read.
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"

namespace sysfs {

/// The bytes of an attribute, at most `limit`; absent when it is missing or its read fails (the
/// kernel answers some reads, such as the capacity of a device that has not reported yet, with an
/// error). Read with plain system calls: a refresh reads many such files every second.
inline std::optional<Data> readBytes(const std::filesystem::path& file, std::size_t limit) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Data bytes(limit);
    std::size_t count = 0;
    while (count < limit) {
        ssize_t got = ::read(fd, bytes.data() + count, limit - count);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        count += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(count);
    return bytes;
}

/// A text attribute without its trailing line break and blanks.
inline std::optional<std::string> readText(const std::filesystem::path& file) {
    auto bytes = readBytes(file, 4096);
    if (!bytes) return std::nullopt;
    std::string text(bytes->begin(), bytes->end());
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

/// A whole number the kernel can tell: its power-supply values are 32-bit, so a text beyond
/// that range is no value (and arithmetic on what is read cannot overflow).
inline std::optional<std::int64_t> parseInteger(const std::string& text) {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

/// A whole-number attribute; absent when missing, unreadable or not a number.
inline std::optional<std::int64_t> readInteger(const std::filesystem::path& file) {
    auto text = readText(file);
    return text ? parseInteger(*text) : std::nullopt;
}

}  // namespace sysfs
