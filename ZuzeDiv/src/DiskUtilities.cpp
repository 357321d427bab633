#include "ZuzeDiv/DiskUtilities.hpp"

#include <cmath>
#include <cstdio>
#include <optional>

#include "ZuzeDiv/FileType.hpp"
#include "ZuzeDiv/Math.hpp"
#include "ZuzeDiv/Resources.hpp"

namespace ZuzeDiv {

namespace {
using ull = unsigned long long;

template <class... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

constexpr std::uint64_t KB = 1024, MB = 1024 * KB, GB = 1024 * MB;
// Byte rates from 2^61 on have no bit count in 64 bits.
constexpr std::uint64_t bitRateLimit = std::uint64_t{1} << 61;

// bytes ÷ seconds cut to whole bytes per second; absent when it is negative or beyond 64 bits.
std::optional<std::uint64_t> rate(std::int64_t bytes, double seconds) {
    if (!(seconds > 0)) return std::nullopt;
    const double value = std::trunc(static_cast<double>(bytes) * (1.0 / seconds));
    if (!(value >= 0) || value >= 18446744073709551616.0) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}
}  // namespace

std::string DiskUtilities::fileSizeText(std::int64_t bytes) { return byteCountText(bytes, ByteCountFormatter::CountStyle::file); }

std::string DiskUtilities::memorySizeText(std::int64_t bytes) {
    return byteCountText(bytes, ByteCountFormatter::CountStyle::memory);
}

std::string DiskUtilities::byteCountText(std::int64_t bytes, ByteCountFormatter::CountStyle style) {
    if (bytes < 0) return "-";
    return ByteCountFormatter::string(bytes, style);
}

std::string DiskUtilities::speedText(std::int64_t bytes, bool bits, double seconds) {
    auto r = rate(bytes, seconds);
    return r ? speedText(*r, bits) : "-";
}

std::string DiskUtilities::speedText(std::uint64_t r, bool bits) {
    if (!bits) {
        if (r < KB) return format("%llu B/s", ull(r));
        if (r < MB) return format("%llu KB/s", ull(r / KB));
        if (r < GB) return format("%.2f MB/s", static_cast<double>(r) / MB);
        return format("%.2f GB/s", static_cast<double>(r) / GB);
    }
    if (r >= bitRateLimit) return "-";
    const std::uint64_t b = r * 8;
    if (b <= 999) return format("%llu b/s", ull(b));
    if (b <= 999'999) return format("%llu Kb/s", ull(b / 1000));
    if (b <= 999'999'999) return format("%.2f Mb/s", static_cast<double>(b) / 1e6);
    // Gigabits have no upper band: 10^12 bits per second and more stay in Gb/s.
    return format("%.2f Gb/s", static_cast<double>(b) / 1e9);
}

std::string DiskUtilities::roundedSpeedText(std::int64_t bytes, bool bits, double seconds) {
    auto r = rate(bytes, seconds);
    return r ? roundedSpeedText(*r, bits) : "-";
}

std::string DiskUtilities::roundedSpeedText(std::uint64_t r, bool bits) {
    if (!bits) {
        if (r < KB) return format("%llu B/s", ull(r));
        if (r < MB) return format("%llu KB/s", ull(r / KB));
        if (r < GB) return format("%llu MB/s", ull(r / MB));
        return format("%.2f GB/s", static_cast<double>(r) / GB);
    }
    if (r >= bitRateLimit) return "-";
    const std::uint64_t b = r * 8;
    if (b <= 999) return format("%llu b/s", ull(b));
    if (b <= 999'999) return format("%llu Kb/s", ull(b / 1000));
    if (b <= 999'999'999) return format("%llu Mb/s", ull(b / 1'000'000));
    return format("%llu Gb/s", ull(b / 1'000'000'000));
}

std::string localizationKey(FileType type) {
    switch (type) {
        case FileType::other: return "OTHER";
        case FileType::video: return "VIDEO";
        case FileType::photo: return "PHOTO";
        case FileType::archive: return "ARCHIVE";
        case FileType::audio: return "AUDIO";
        case FileType::document: return "DOCUMENT";
    }
    return "OTHER";
}

std::string localizedName(FileType type) { return Resources::localized(localizationKey(type)); }

double Math::round(double value, double toNearest, FloatingPointRoundingRule rule) {
    return rounded(value / toNearest, rule) * toNearest;
}

}  // namespace ZuzeDiv
