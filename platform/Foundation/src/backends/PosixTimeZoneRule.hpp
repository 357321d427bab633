#pragma once
// Time-zone rules in the form of POSIX's TZ variable, as the C library reads TZ and the last line
// of a zone file: "CET-1CEST,M3.5.0,M10.5.0/3" (an hour east of Greenwich, summer time from the
// last Sunday of March at 02:00 to the last Sunday of October at 03:00), "<+0330>-3:30", "EST5".
#include <unicode/timezone.h>

#include <memory>
#include <string>

namespace posixtz {

/// The zone the rule describes, named by the rule's text; nullptr when the text is no rule, or a
/// rule whose change dates ICU cannot hold.
std::unique_ptr<icu::TimeZone> zone(const std::string& rule);

}  // namespace posixtz
