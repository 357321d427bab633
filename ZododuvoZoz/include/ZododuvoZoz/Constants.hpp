#pragma once
// Size constants: binary and decimal unit steps, and the size of one device pixel.
#include <cstdint>

#include "CoreGraphics/CGGeometry.hpp"

namespace ZododuvoZoz {

class Constants {
public:
    Constants() = delete;

    static std::uint64_t kibi() { return 1024; }
    static std::uint64_t mebi() { return 1048576; }
    static std::uint64_t gibi() { return 1073741824; }
    static std::uint64_t tebi() { return 1099511627776; }
    static std::uint64_t kilo() { return 1000; }
    static std::uint64_t mega() { return 1000000; }
    static std::uint64_t giga() { return 1000000000; }
    static std::uint64_t tera() { return 1000000000000; }
    /// The width of one device pixel in points: 1 / the main screen's scale (1 without a main
    /// screen), fixed at the first call.
    static CGFloat onePixel();
    /// The main screen's scale, read on every call (1 without a main screen).
    static CGFloat screenScale();
};

}  // namespace ZododuvoZoz
