#include "Foundation/NumberFormatter.hpp"

#include <unicode/dcfmtsym.h>
#include <unicode/numberformatter.h>

#include <algorithm>
#include <cmath>

#include "ICUSupport.hpp"

namespace number = icu::number;

namespace {
UNumberFormatRoundingMode icuRounding(NumberFormatter::RoundingMode mode) {
    switch (mode) {
        case NumberFormatter::RoundingMode::ceiling: return UNUM_ROUND_CEILING;
        case NumberFormatter::RoundingMode::floor: return UNUM_ROUND_FLOOR;
        case NumberFormatter::RoundingMode::down: return UNUM_ROUND_DOWN;
        case NumberFormatter::RoundingMode::up: return UNUM_ROUND_UP;
        case NumberFormatter::RoundingMode::halfEven: return UNUM_ROUND_HALFEVEN;
        case NumberFormatter::RoundingMode::halfDown: return UNUM_ROUND_HALFDOWN;
        case NumberFormatter::RoundingMode::halfUp: return UNUM_ROUND_HALFUP;
    }
    return UNUM_ROUND_HALFEVEN;
}
}  // namespace

NumberFormatter::NumberFormatter() : locale_(Locale::current()) {}

void NumberFormatter::setNumberStyle(Style style) {
    style_ = style;
    minimumFractionDigits_ = 0;
    maximumFractionDigits_ = style == Style::decimal ? 3 : 0;
    usesGrouping_ = style == Style::decimal;
}

void NumberFormatter::setMinimumFractionDigits(int digits) {
    minimumFractionDigits_ = std::max(0, digits);
    maximumFractionDigits_ = std::max(maximumFractionDigits_, minimumFractionDigits_);
}

void NumberFormatter::setMaximumFractionDigits(int digits) {
    maximumFractionDigits_ = std::max(0, digits);
    minimumFractionDigits_ = std::min(minimumFractionDigits_, maximumFractionDigits_);
}

std::string NumberFormatter::groupingSeparator() const {
    if (groupingSeparator_) return *groupingSeparator_;
    return locale_.groupingSeparator().value_or("");
}

std::optional<std::string> NumberFormatter::string(const NSNumber& number) const {
    UErrorCode status = U_ZERO_ERROR;
    auto icuLocale = icusupport::locale(locale_);
    icu::DecimalFormatSymbols symbols(icuLocale, status);
    if (U_FAILURE(status)) return std::nullopt;
    const auto separator = groupingSeparator();
    const bool grouping = usesGrouping_ && !separator.empty();
    if (grouping) symbols.setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, icusupport::unicode(separator));

    // ICU caps fraction digits at 999.
    const int maxDigits = std::min(maximumFractionDigits_, 999);
    const int minDigits = std::min(minimumFractionDigits_, maxDigits);
    auto formatter = number::NumberFormatter::withLocale(icuLocale)
                         .symbols(symbols)
                         .precision(number::Precision::minMaxFraction(allowsFloats_ ? minDigits : 0,
                                                                      allowsFloats_ ? maxDigits : 0))
                         .roundingMode(icuRounding(roundingMode_))
                         .grouping(grouping ? UNUM_GROUPING_AUTO : UNUM_GROUPING_OFF);

    number::FormattedNumber formatted;
    if (number.isInteger()) {
        // Integers go to ICU as digits, so that every 64-bit value is written exactly.
        formatted = formatter.formatDecimal(number.decimalText().c_str(), status);
    } else {
        formatted = formatter.formatDouble(number.doubleValue(), status);
    }
    if (U_FAILURE(status)) return std::nullopt;
    auto text = formatted.toString(status);
    if (U_FAILURE(status)) return std::nullopt;
    return icusupport::utf8(text);
}
