#pragma once
// Date texts, written and read by ICU: a fixed pattern ("yyyy-MM-dd"), a pattern chosen for the
// locale from a template ("MMMM"), or the locale's date and time styles. Reading is strict: the
// whole text must match the pattern.
#include <optional>
#include <string>

#include "Foundation/Calendar.hpp"
#include "Foundation/Date.hpp"
#include "Foundation/Locale.hpp"

class DateFormatter {
public:
    enum class Style { none = 0, shortStyle = 1, mediumStyle = 2, longStyle = 3, fullStyle = 4 };

    /// No pattern and no styles (texts are empty), the current locale, time zone and calendar.
    DateFormatter();

    const std::string& dateFormat() const { return dateFormat_; }
    /// Sets a fixed pattern; the styles no longer apply.
    void setDateFormat(std::string pattern);
    /// Sets the locale's best pattern for a template of fields ("MMMM", "yMd").
    void setLocalizedDateFormatFromTemplate(const std::string& templateText);
    Style dateStyle() const { return dateStyle_; }
    Style timeStyle() const { return timeStyle_; }
    /// Setting a style replaces a fixed pattern by the styles' pattern.
    void setDateStyle(Style style);
    void setTimeStyle(Style style);

    const Locale& locale() const { return locale_; }
    void setLocale(Locale locale);
    const TimeZone& timeZone() const { return timeZone_; }
    void setTimeZone(TimeZone zone) { timeZone_ = std::move(zone); }
    void setCalendar(const Calendar& calendar);
    bool isLenient() const { return lenient_; }
    void setLenient(bool lenient) { lenient_ = lenient; }

    std::string string(const Date& date) const;
    /// The moment the text names; absent when it does not match the pattern in full.
    std::optional<Date> date(const std::string& text) const;

private:
    void applyStyles();

    std::string dateFormat_;
    Style dateStyle_ = Style::none;
    Style timeStyle_ = Style::none;
    Locale locale_;
    TimeZone timeZone_;
    std::string calendarKind_;
    bool lenient_ = false;
};
