// The conventions of a locale, read from ICU's data.
#include <unicode/calendar.h>
#include <unicode/dcfmtsym.h>
#include <unicode/ucal.h>

#include "Foundation/Locale.hpp"
#include "ICUSupport.hpp"

namespace {
std::string symbol(const Locale& locale, icu::DecimalFormatSymbols::ENumberFormatSymbol which) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(icusupport::locale(locale), status);
    if (U_FAILURE(status)) return {};
    return icusupport::utf8(symbols.getSymbol(which));
}

std::unique_ptr<icu::Calendar> calendarOf(const Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(icusupport::locale(locale), status));
    if (U_FAILURE(status)) return nullptr;
    return calendar;
}
}  // namespace

std::string Locale::decimalSeparator() const {
    auto text = symbol(*this, icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
    return text.empty() ? "." : text;
}

std::optional<std::string> Locale::groupingSeparator() const {
    auto text = symbol(*this, icu::DecimalFormatSymbols::kGroupingSeparatorSymbol);
    if (text.empty()) return std::nullopt;
    return text;
}

std::string Locale::minusSign() const {
    auto text = symbol(*this, icu::DecimalFormatSymbols::kMinusSignSymbol);
    return text.empty() ? "-" : text;
}

int Locale::firstWeekday() const {
    auto calendar = calendarOf(*this);
    return calendar ? static_cast<int>(calendar->getFirstDayOfWeek()) : 1;
}

int Locale::minimumDaysInFirstWeek() const {
    auto calendar = calendarOf(*this);
    return calendar ? calendar->getMinimalDaysInFirstWeek() : 1;
}

std::string Locale::calendarIdentifier() const {
    auto calendar = calendarOf(*this);
    return calendar ? calendar->getType() : "gregorian";
}
