#include "Foundation/MeasurementFormatter.hpp"

#include <unicode/measunit.h>
#include <unicode/numberformatter.h>

#include "ICUSupport.hpp"

namespace number = icu::number;

MeasurementFormatter::MeasurementFormatter() : locale_(Locale::current()) {
    numberFormatter_.setNumberStyle(NumberFormatter::Style::decimal);
    numberFormatter_.setLocale(locale_);
}

void MeasurementFormatter::setLocale(Locale locale) {
    locale_ = std::move(locale);
    numberFormatter_.setLocale(locale_);
}

std::string MeasurementFormatter::string(const Measurement<UnitDuration>& measurement) const {
    UErrorCode status = U_ZERO_ERROR;
    auto unit = icu::MeasureUnit::forIdentifier(measurement.unit.name().c_str(), status);
    if (U_FAILURE(status)) {
        // A unit ICU has no words for: the number and the unit's symbol.
        return numberFormatter_.string(NSNumber(measurement.value)).value_or("") + " " + measurement.unit.symbol();
    }
    UNumberUnitWidth width = unitStyle_ == UnitStyle::longStyle    ? UNUM_UNIT_WIDTH_FULL_NAME
                             : unitStyle_ == UnitStyle::shortStyle ? UNUM_UNIT_WIDTH_NARROW
                                                                   : UNUM_UNIT_WIDTH_SHORT;
    auto formatter = number::NumberFormatter::withLocale(icusupport::locale(locale_))
                         .unit(unit)
                         .unitWidth(width)
                         .precision(number::Precision::minMaxFraction(
                             numberFormatter_.minimumFractionDigits(),
                             numberFormatter_.allowsFloats() ? numberFormatter_.maximumFractionDigits() : 0))
                         .grouping(numberFormatter_.usesGroupingSeparator() ? UNUM_GROUPING_AUTO : UNUM_GROUPING_OFF);
    auto formatted = formatter.formatDouble(measurement.value, status);
    auto text = formatted.toString(status);
    if (U_FAILURE(status)) return {};
    return icusupport::utf8(text);
}
