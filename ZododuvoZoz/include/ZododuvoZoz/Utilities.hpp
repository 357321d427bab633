#pragma once
// The unit ladder of transfer speeds: bytes per second in binary steps, or bits per second in
// decimal steps.
#include <cstdint>
#include <string>

namespace ZododuvoZoz {

class Utilities {
public:
    Utilities() = delete;

    /// What to divide a speed by to show it in the unit of speedUnit.
    static double speedDivisor(std::uint64_t bytesPerSecond, bool bits);
    /// "B/s", "KB/s", "MB/s", "GB/s", "TB/s", or in bits "b/s", "Kb/s", "Mb/s", "Gb/s", "Tb/s"; a
    /// step begins at its own divisor. Every value has an answer, also where eight times it no
    /// longer fits in 64 bits.
    static std::string speedUnit(std::uint64_t bytesPerSecond, bool bits);
};

}  // namespace ZododuvoZoz
