#pragma once
// Reading sysfs attributes: small text or binary files that the kernel fills on each read.
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"

namespace sysfs {

/// The bytes of an attribute; absent when it is missing or its read fails (the kernel answers
/// some reads, such as the capacity of a device that has not reported yet, with an error).
inline std::optional<Data> readBytes(const std::filesystem::path& file, std::size_t limit) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> stream(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!stream) return std::nullopt;
    Data bytes(limit);
    std::size_t count = std::fread(bytes.data(), 1, limit, stream.get());
    if (std::ferror(stream.get())) return std::nullopt;
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
