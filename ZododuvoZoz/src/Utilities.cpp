#include "ZododuvoZoz/Utilities.hpp"

#include <array>
#include <utility>

#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {
namespace {
struct Step {
    std::uint64_t divisor;
    const char* unit;
};

Step step(std::uint64_t value, bool bits) {
    if (bits) {
        // The speed in bits is eight times the value; every decimal step is a multiple of eight,
        // so value × 8 ≥ step exactly when value ≥ step / 8, and nothing can overflow.
        const std::array<Step, 4> ladder{{{Constants::tera(), "Tb/s"},
                                          {Constants::giga(), "Gb/s"},
                                          {Constants::mega(), "Mb/s"},
                                          {Constants::kilo(), "Kb/s"}}};
        for (const auto& s : ladder) {
            if (value >= s.divisor / 8) return s;
        }
        return {1, "b/s"};
    }
    const std::array<Step, 4> ladder{{{Constants::tebi(), "TB/s"},
                                      {Constants::gibi(), "GB/s"},
                                      {Constants::mebi(), "MB/s"},
                                      {Constants::kibi(), "KB/s"}}};
    for (const auto& s : ladder) {
        if (value >= s.divisor) return s;
    }
    return {1, "B/s"};
}
}  // namespace

double Utilities::speedDivisor(std::uint64_t bytesPerSecond, bool bits) {
    return static_cast<double>(step(bytesPerSecond, bits).divisor);
}

std::string Utilities::speedUnit(std::uint64_t bytesPerSecond, bool bits) { return step(bytesPerSecond, bits).unit; }

}  // namespace ZododuvoZoz
