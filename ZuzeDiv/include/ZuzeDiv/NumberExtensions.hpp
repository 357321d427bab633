#pragma once
// Number helpers: fixed-decimal texts, rounding to places and to multiples, grouped texts.
#include <cstdint>
#include <optional>
#include <string>

namespace ZuzeDiv {

/// How a value is rounded to a whole number.
enum class FloatingPointRoundingRule { toNearestOrAwayFromZero, toNearestOrEven, up, down, towardZero, awayFromZero };

/// The value rounded to a whole number by the rule.
double rounded(double value, FloatingPointRoundingRule rule);

/// The value written with "%.1f" ... "%.5f".
std::string oneDecimal(double value);
std::string twoDecimals(double value);
std::string threeDecimals(double value);
std::string fourDecimals(double value);
std::string fiveDecimals(double value);

/// round(value × 10^places) / 10^places, halves away from zero: 1.005 gives 1.0 and 2.675 gives
/// 2.67, since the doubles nearest to them lie below them.
double rounded(double value, int toPlaces);
/// (value / step) rounded by the rule, times step.
double rounded(double value, double toMultipleOf, FloatingPointRoundingRule rule);
bool isNaNOrInfinite(double value);
/// The number in the decimal style with the current locale's grouping separator (none when the
/// locale has none); empty when it cannot be written.
std::string groupedText(std::int64_t value);

template <class T>
bool hasValue(const std::optional<T>& value) {
    return value.has_value();
}

}  // namespace ZuzeDiv
