#pragma once
// Byte units and powers of ten.
#include <cstdint>

namespace ZuzeDiv {

struct Constants {
    static constexpr std::int64_t KiB = 1024;
    static constexpr std::int64_t MiB = 1048576;
    static constexpr std::int64_t GiB = 1073741824;
    static constexpr std::int64_t TiB = 1099511627776;
    static constexpr std::int64_t PiB = 1125899906842624;
    static constexpr std::int64_t EiB = 1152921504606846976;
    static constexpr std::int64_t thousand = 1000;
    static constexpr std::int64_t million = 1000000;
    static constexpr std::int64_t billion = 1000000000;
    static constexpr std::int64_t trillion = 1000000000000;
    static constexpr std::int64_t quadrillion = 1000000000000000;
    static constexpr std::int64_t quintillion = 1000000000000000000;
};

}  // namespace ZuzeDiv
