#pragma once
// Byte counts and transfer speeds as short texts. Byte units count in 1024s (1 KB = 1024 bytes),
// bit units in 1000s (1 Kb = 1000 bits). A value that cannot be shown gives "-".
#include <cstdint>
#include <string>

#include "Foundation/ByteCountFormatter.hpp"

namespace ZuzeDiv {

class DiskUtilities {
public:
    DiskUtilities() = delete;

    static std::string fileSizeText(std::int64_t bytes);
    static std::string memorySizeText(std::int64_t bytes);
    /// "-" for a negative count, else the byte-count formatter's text in the style.
    static std::string byteCountText(std::int64_t bytes, ByteCountFormatter::CountStyle style);

    /// The rate bytes ÷ seconds (cut to whole bytes per second) as a speed text; "-" when the
    /// duration is 0 or less, or the rate is negative or beyond what the text can show.
    static std::string speedText(std::int64_t bytes, bool bits, double seconds);
    /// "1023 B/s", "1 KB/s", "1.50 MB/s", "1.50 GB/s"; with bits: "992 b/s", "1 Kb/s", "1.00 Mb/s",
    /// "1000.00 Gb/s". "-" for a bit rate beyond 64 bits.
    static std::string speedText(std::uint64_t bytesPerSecond, bool bits);
    static std::string roundedSpeedText(std::int64_t bytes, bool bits, double seconds);
    /// As speedText with whole numbers, except gigabytes per second, which keep two decimals.
    static std::string roundedSpeedText(std::uint64_t bytesPerSecond, bool bits);
};

}  // namespace ZuzeDiv
