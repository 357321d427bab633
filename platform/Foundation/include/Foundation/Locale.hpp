#pragma once
// Locales by identifier ("en_US", "de_DE"), the current locale and the user's preferred languages.
// Both are process-wide settings that tests and demos may change.
#include <optional>
#include <string>
#include <vector>

#include "Foundation/TimeZone.hpp"

class Locale {
public:
    explicit Locale(std::string identifier);

    /// The user's locale: as set, else from LC_ALL, LC_MESSAGES or LANG, else "en_US".
    static Locale current();
    static void setCurrent(const std::optional<std::string>& identifier);
    /// Languages in order of preference ("de-DE", "en"): as set, else from LANGUAGE and the current locale.
    static std::vector<std::string> preferredLanguages();
    static void setPreferredLanguages(const std::optional<std::vector<std::string>>& languages);

    /// A locale that never changes with the user's settings, for machine-readable texts.
    static Locale posix() { return Locale("en_US_POSIX"); }

    const std::string& identifier() const { return identifier_; }
    /// "de" of "de_DE"; absent for an empty identifier.
    std::optional<std::string> languageCode() const;
    /// "DE" of "de_DE"; absent when the identifier names no region.
    std::optional<std::string> regionCode() const;

    // Conventions of the locale, from ICU's data.
    /// The decimal separator ("." in en_US, "," in de_DE).
    std::string decimalSeparator() const;
    /// The grouping separator ("," in en_US, "." in de_DE); absent when the locale groups no digits.
    std::optional<std::string> groupingSeparator() const;
    /// The minus sign of the locale's numbers.
    std::string minusSign() const;
    /// The first day of the week, Sunday 1 to Saturday 7 (1 in en_US, 2 in de_DE).
    int firstWeekday() const;
    /// The fewest days of a year's first week (1 in en_US, 4 in de_DE).
    int minimumDaysInFirstWeek() const;
    /// The locale's calendar ("gregorian", "buddhist"...).
    std::string calendarIdentifier() const;

    bool operator==(const Locale& other) const { return identifier_ == other.identifier_; }

private:
    std::string identifier_;
};
