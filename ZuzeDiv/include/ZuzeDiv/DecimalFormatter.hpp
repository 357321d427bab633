#pragma once
// Numbers as text in the current locale with at most a given number of fraction digits: no
// grouping, the locale's minus sign and decimal separator, halves rounded to even, trailing zeros
// dropped. Integers are written exactly, the largest 64-bit ones included.
#include <cstdint>
#include <string>

#include "Foundation/NSNumber.hpp"

namespace ZuzeDiv {

class DecimalFormatter {
public:
    DecimalFormatter() = delete;

    static std::string string(const NSNumber& number, int fractionDigits);

    static std::string string(std::int64_t number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(std::int32_t number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(std::uint8_t number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(std::uint32_t number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(std::uint64_t number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(float number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }
    static std::string string(double number, int fractionDigits) { return string(NSNumber(number), fractionDigits); }

    /// The same with 0 fraction digits.
    static std::string string(std::int64_t number) { return string(number, 0); }
    static std::string string(std::int32_t number) { return string(number, 0); }
    static std::string string(std::uint8_t number) { return string(number, 0); }
    static std::string string(std::uint32_t number) { return string(number, 0); }
    static std::string string(std::uint64_t number) { return string(number, 0); }
    static std::string string(float number) { return string(number, 0); }
    static std::string string(double number) { return string(number, 0); }
};

}  // namespace ZuzeDiv
