#pragma once
// Number texts in a locale, written by ICU: no style (plain digits) or the decimal style (with the
// locale's grouping), a range of fraction digits and a rounding mode.
#include <optional>
#include <string>

#include "Foundation/Locale.hpp"
#include "Foundation/NSNumber.hpp"

class NumberFormatter {
public:
    enum class Style { none = 0, decimal = 1 };
    enum class RoundingMode { ceiling, floor, down, up, halfEven, halfDown, halfUp };

    /// No style, the current locale, 0 fraction digits, rounding half to even.
    NumberFormatter();

    Style numberStyle() const { return style_; }
    /// Choosing a style sets its defaults: none has 0 fraction digits and no grouping, decimal
    /// up to 3 fraction digits and the locale's grouping.
    void setNumberStyle(Style style);
    const Locale& locale() const { return locale_; }
    void setLocale(Locale locale) { locale_ = std::move(locale); }
    int minimumFractionDigits() const { return minimumFractionDigits_; }
    void setMinimumFractionDigits(int digits);
    int maximumFractionDigits() const { return maximumFractionDigits_; }
    void setMaximumFractionDigits(int digits);
    RoundingMode roundingMode() const { return roundingMode_; }
    void setRoundingMode(RoundingMode mode) { roundingMode_ = mode; }
    bool usesGroupingSeparator() const { return usesGrouping_; }
    void setUsesGroupingSeparator(bool uses) { usesGrouping_ = uses; }
    /// The locale's grouping separator unless set; an empty separator writes no grouping.
    std::string groupingSeparator() const;
    void setGroupingSeparator(std::string separator) { groupingSeparator_ = std::move(separator); }
    /// Floating-point values are accepted (the default); integers only otherwise.
    bool allowsFloats() const { return allowsFloats_; }
    void setAllowsFloats(bool allows) { allowsFloats_ = allows; }

    /// The number's text; absent when ICU cannot write it.
    std::optional<std::string> string(const NSNumber& number) const;

private:
    Style style_ = Style::none;
    Locale locale_;
    int minimumFractionDigits_ = 0;
    int maximumFractionDigits_ = 0;
    RoundingMode roundingMode_ = RoundingMode::halfEven;
    bool usesGrouping_ = false;
    std::optional<std::string> groupingSeparator_;
    bool allowsFloats_ = true;
};
