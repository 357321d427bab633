#pragma once
// Conversions between our values and ICU's.
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

#include "Foundation/Locale.hpp"
#include "backends/RulesTimeZone.hpp"

namespace icusupport {

inline icu::UnicodeString unicode(const std::string& text) { return icu::UnicodeString::fromUTF8(text); }

inline std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

/// "de_DE" or "de-DE" as an ICU locale; "en_US_POSIX" keeps its meaning.
inline icu::Locale locale(const Locale& locale) {
    std::string id = locale.identifier();
    for (auto& c : id) c = c == '-' ? '_' : c;
    return icu::Locale::createCanonical(id.c_str());
}

/// ICU's zone of ours: one that follows the system's rules for it, else ICU's own zone of that
/// name, else ICU's "Etc/Unknown" (which behaves as UTC).
inline std::unique_ptr<icu::TimeZone> timeZone(const TimeZone& zone) {
    if (zone.rules()) return std::make_unique<RulesTimeZone>(unicode(zone.identifier()), zone.rules());
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(unicode(zone.identifier())));
}

}  // namespace icusupport
