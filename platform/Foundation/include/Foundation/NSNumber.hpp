#pragma once
// A boxed number: a signed or unsigned 64-bit integer, or a floating-point number, kept exactly as
// it was given so that formatters can write every integer in full, with the type code of the value
// it was made from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

class NSNumber {
public:
    NSNumber() : value_(std::int64_t{0}), type_{'q', 0} {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, bool>, int> = 0>
    NSNumber(T value) : value_(static_cast<std::int64_t>(value)), type_{integerCode(sizeof(T), true), 0} {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>, int> = 0>
    NSNumber(T value) : value_(static_cast<std::uint64_t>(value)), type_{integerCode(sizeof(T), false), 0} {}
    NSNumber(bool value) : value_(std::int64_t{value ? 1 : 0}), type_{'c', 0}, boolean_(true) {}
    NSNumber(float value) : value_(static_cast<double>(value)), type_{'f', 0} {}
    NSNumber(double value) : value_(value), type_{'d', 0} {}

    bool isInteger() const { return !std::holds_alternative<double>(value_); }
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    /// Integers in decimal digits ("-12", "18446744073709551615"); floating-point values in the
    /// shortest form that reads back to the same double.
    std::string decimalText() const;

    const std::variant<std::int64_t, std::uint64_t, double>& storage() const { return value_; }
    /// Numbers are equal when their values are, whatever they were made from.
    bool operator==(const NSNumber& other) const { return value_ == other.value_; }

    /// The type code of what the number was made from, one letter of the platform's type encoding:
    /// "c" for a Boolean or a signed 8-bit integer, "s", "i", "q" for signed 16, 32 and 64 bits,
    /// "C", "S", "I", "Q" for the unsigned ones, "f" and "d" for floating point.
    const char* objCType() const { return type_; }
    /// Whether the number was made from a Boolean (whose type code "c" it shares with 8-bit integers).
    bool isBoolean() const { return boolean_; }
    /// The same value under another type code, as numbers described elsewhere may carry ("l", "B").
    NSNumber withObjCType(char code) const {
        NSNumber copy = *this;
        copy.type_[0] = code;
        return copy;
    }

private:
    static constexpr char integerCode(std::size_t size, bool isSigned) {
        switch (size) {
            case 1: return isSigned ? 'c' : 'C';
            case 2: return isSigned ? 's' : 'S';
            case 4: return isSigned ? 'i' : 'I';
            default: return isSigned ? 'q' : 'Q';
        }
    }

    std::variant<std::int64_t, std::uint64_t, double> value_;
    char type_[2];
    bool boolean_ = false;
};
