#include "Foundation/DateFormatter.hpp"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <memory>

#include "ICUSupport.hpp"

namespace {
icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
    switch (style) {
        case DateFormatter::Style::none: return icu::DateFormat::kNone;
        case DateFormatter::Style::shortStyle: return icu::DateFormat::kShort;
        case DateFormatter::Style::mediumStyle: return icu::DateFormat::kMedium;
        case DateFormatter::Style::longStyle: return icu::DateFormat::kLong;
        case DateFormatter::Style::fullStyle: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}
}  // namespace

DateFormatter::DateFormatter()
    : locale_(Locale::current()), timeZone_(TimeZone::current()), calendarKind_(locale_.calendarIdentifier()) {}

void DateFormatter::setDateFormat(std::string pattern) {
    dateFormat_ = std::move(pattern);
    dateStyle_ = Style::none;
    timeStyle_ = Style::none;
}

void DateFormatter::setLocalizedDateFormatFromTemplate(const std::string& templateText) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icusupport::locale(locale_), status));
    if (U_FAILURE(status)) return;
    auto pattern = generator->getBestPattern(icusupport::unicode(templateText), status);
    if (U_FAILURE(status)) return;
    setDateFormat(icusupport::utf8(pattern));
}

void DateFormatter::setDateStyle(Style style) {
    dateStyle_ = style;
    applyStyles();
}

void DateFormatter::setTimeStyle(Style style) {
    timeStyle_ = style;
    applyStyles();
}

void DateFormatter::setLocale(Locale locale) {
    locale_ = std::move(locale);
    calendarKind_ = locale_.calendarIdentifier();
    applyStyles();
}

void DateFormatter::setCalendar(const Calendar& calendar) { calendarKind_ = calendar.identifier(); }

void DateFormatter::applyStyles() {
    if (dateStyle_ == Style::none && timeStyle_ == Style::none) return;
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle_), icuStyle(timeStyle_), icusupport::locale(locale_)));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get());
    if (!simple) return;
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    dateFormat_ = icusupport::utf8(pattern);
}

namespace {
std::unique_ptr<icu::SimpleDateFormat> makeFormat(const std::string& pattern, const Locale& locale, const TimeZone& zone,
                                                  const std::string& calendarKind, bool lenient) {
    UErrorCode status = U_ZERO_ERROR;
    auto icuLocale = icusupport::locale(locale);
    icuLocale.setKeywordValue("calendar", calendarKind.c_str(), status);
    status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(icusupport::unicode(pattern), icuLocale, status);
    if (U_FAILURE(status)) return nullptr;
    format->adoptTimeZone(icusupport::timeZone(zone).release());
    format->setLenient(lenient);
    return format;
}
}  // namespace

std::string DateFormatter::string(const Date& date) const {
    if (dateFormat_.empty()) return {};
    auto format = makeFormat(dateFormat_, locale_, timeZone_, calendarKind_, lenient_);
    if (!format) return {};
    icu::UnicodeString text;
    format->format(date.timeIntervalSince1970() * 1000.0, text);
    return icusupport::utf8(text);
}

std::optional<Date> DateFormatter::date(const std::string& text) const {
    if (dateFormat_.empty()) return std::nullopt;
    auto format = makeFormat(dateFormat_, locale_, timeZone_, calendarKind_, lenient_);
    if (!format) return std::nullopt;
    auto unicodeText = icusupport::unicode(text);
    icu::ParsePosition position(0);
    UDate millis = format->parse(unicodeText, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicodeText.length()) return std::nullopt;
    return Date(millis / 1000.0);
}
