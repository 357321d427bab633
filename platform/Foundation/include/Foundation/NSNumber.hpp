#pragma once
// A boxed number: a signed or unsigned 64-bit integer, or a floating-point number, kept exactly as
// it was given so that formatters can write every integer in full.
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

class NSNumber {
public:
    NSNumber() : value_(std::int64_t{0}) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, bool>, int> = 0>
    NSNumber(T value) : value_(static_cast<std::int64_t>(value)) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>, int> = 0>
    NSNumber(T value) : value_(static_cast<std::uint64_t>(value)) {}
    NSNumber(bool value) : value_(std::int64_t{value ? 1 : 0}) {}
    NSNumber(float value) : value_(static_cast<double>(value)) {}
    NSNumber(double value) : value_(value) {}

    bool isInteger() const { return !std::holds_alternative<double>(value_); }
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    /// Integers in decimal digits ("-12", "18446744073709551615"); floating-point values in the
    /// shortest form that reads back to the same double.
    std::string decimalText() const;

    const std::variant<std::int64_t, std::uint64_t, double>& storage() const { return value_; }
    bool operator==(const NSNumber&) const = default;

private:
    std::variant<std::int64_t, std::uint64_t, double> value_;
};
