#include "ZuzeDiv/NumberExtensions.hpp"

#include <cmath>
#include <cstdio>

#include "Foundation/NumberFormatter.hpp"

namespace ZuzeDiv {

double rounded(double value, FloatingPointRoundingRule rule) {
    switch (rule) {
        case FloatingPointRoundingRule::toNearestOrAwayFromZero: return std::round(value);
        case FloatingPointRoundingRule::toNearestOrEven: return std::nearbyint(value);  // the default mode: halves to even
        case FloatingPointRoundingRule::up: return std::ceil(value);
        case FloatingPointRoundingRule::down: return std::floor(value);
        case FloatingPointRoundingRule::towardZero: return std::trunc(value);
        case FloatingPointRoundingRule::awayFromZero: return value < 0 ? std::floor(value) : std::ceil(value);
    }
    return value;
}

namespace {
std::string fixed(const char* format, double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}
}  // namespace

std::string oneDecimal(double value) { return fixed("%.1f", value); }
std::string twoDecimals(double value) { return fixed("%.2f", value); }
std::string threeDecimals(double value) { return fixed("%.3f", value); }
std::string fourDecimals(double value) { return fixed("%.4f", value); }
std::string fiveDecimals(double value) { return fixed("%.5f", value); }

double rounded(double value, int toPlaces) {
    // The product is taken in extended precision, so that it rounds as the stored double does:
    // 2.675 is stored a little below 2.675 and gives 2.67, although the product in double
    // precision would round up to exactly 267.5.
    const long double divisor = std::pow(10.0L, toPlaces);
    return static_cast<double>(std::round(static_cast<long double>(value) * divisor) / divisor);
}

double rounded(double value, double toMultipleOf, FloatingPointRoundingRule rule) {
    return rounded(value / toMultipleOf, rule) * toMultipleOf;
}

bool isNaNOrInfinite(double value) { return std::isnan(value) || std::isinf(value); }

std::string groupedText(std::int64_t value) {
    NumberFormatter formatter;
    formatter.setNumberStyle(NumberFormatter::Style::decimal);
    formatter.setGroupingSeparator(formatter.locale().groupingSeparator().value_or(""));
    return formatter.string(NSNumber(value)).value_or("");
}

}  // namespace ZuzeDiv
