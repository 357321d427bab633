#include "Foundation/ByteCountFormatter.hpp"

#include <cmath>
#include <cstdlib>

#include "Foundation/NumberFormatter.hpp"

std::string ByteCountFormatter::string(std::int64_t byteCount, CountStyle style) {
    if (byteCount == 0) return "Zero KB";
    if (byteCount == 1) return "1 byte";
    const double base = (style == CountStyle::memory || style == CountStyle::binary) ? 1024.0 : 1000.0;
    const double magnitude = std::fabs(static_cast<double>(byteCount));

    NumberFormatter formatter;
    formatter.setNumberStyle(NumberFormatter::Style::decimal);
    formatter.setRoundingMode(NumberFormatter::RoundingMode::halfUp);
    if (magnitude < base) {
        formatter.setMaximumFractionDigits(0);
        return formatter.string(NSNumber(byteCount)).value_or("") + " bytes";
    }

    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    static const int digits[] = {0, 1, 2, 2, 2, 2};
    int unit = 0;
    double value = magnitude / base;
    while (unit < 5 && value >= base) {
        value /= base;
        ++unit;
    }
    // A value that rounds up to a whole next unit ("1000 KB") is written in that unit ("1 MB").
    const double scale = std::pow(10.0, digits[unit]);
    if (unit < 5 && std::round(value * scale) / scale >= base) {
        value /= base;
        ++unit;
    }
    formatter.setMaximumFractionDigits(digits[unit]);
    const double signedValue = byteCount < 0 ? -value : value;
    return formatter.string(NSNumber(signedValue)).value_or("") + " " + units[unit];
}
