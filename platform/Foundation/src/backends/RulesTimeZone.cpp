#include "backends/RulesTimeZone.hpp"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/tzrule.h>
#include <unicode/tztrans.h>

#include <algorithm>
#include <cmath>

namespace {

using Choice = TimeZoneRules::Choice;

constexpr double farthestSeconds = 1e18;

// ICU's dates are milliseconds; the rules count whole seconds.
std::int64_t secondsOf(double seconds) {
    if (std::isnan(seconds)) return 0;
    return static_cast<std::int64_t>(std::clamp(seconds, -farthestSeconds, farthestSeconds));
}
std::int64_t floorSeconds(UDate date) { return secondsOf(std::floor(date / 1000.0)); }
std::int64_t ceilingSeconds(UDate date) { return secondsOf(std::ceil(date / 1000.0)); }

void split(const TimeZoneRules::LocalTime& local, int32_t& rawOffset, int32_t& dstOffset) {
    rawOffset = local.standardOffset * 1000;
    dstOffset = (local.offset - local.standardOffset) * 1000;
}

// Summer time as ICU sees it: an offset apart from the standard one (Ireland's winter is none).
bool isDaylight(const TimeZoneRules::LocalTime& local) { return local.offset != local.standardOffset; }

icu::InitialTimeZoneRule icuRule(const TimeZoneRules::LocalTime& local) {
    int32_t raw = 0, dst = 0;
    split(local, raw, dst);
    return icu::InitialTimeZoneRule(icu::UnicodeString::fromUTF8(local.abbreviation), raw, dst);
}

// A change of the rules as one of ICU's transitions.
void describe(const TimeZoneRules& rules, std::int64_t change, icu::TimeZoneTransition& result) {
    result.setTime(static_cast<UDate>(change) * 1000.0);
    result.setFrom(icuRule(rules.at(change - 1)));
    result.setTo(icuRule(rules.at(change)));
}

}  // namespace

RulesTimeZone::RulesTimeZone(const icu::UnicodeString& identifier, std::shared_ptr<const TimeZoneRules> rules)
    : icu::BasicTimeZone(identifier), rules_(std::move(rules)) {}

RulesTimeZone* RulesTimeZone::clone() const { return new RulesTimeZone(*this); }

bool RulesTimeZone::operator==(const icu::TimeZone& other) const {
    return icu::BasicTimeZone::operator==(other) && hasSameRules(other);
}

UBool RulesTimeZone::hasSameRules(const icu::TimeZone& other) const {
    const auto* same = dynamic_cast<const RulesTimeZone*>(&other);
    return same && (same->rules_ == rules_ || *same->rules_ == *rules_);
}

int32_t RulesTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek, int32_t milliseconds,
                                 UErrorCode& status) const {
    return getOffset(era, year, month, day, dayOfWeek, milliseconds, 31, status);
}

int32_t RulesTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t, int32_t milliseconds, int32_t,
                                 UErrorCode& status) const {
    if (U_FAILURE(status)) return 0;
    if (month < UCAL_JANUARY || month > UCAL_DECEMBER || day < 1 || day > 31 || milliseconds < 0 || milliseconds >= 86400000) {
        status = U_ILLEGAL_ARGUMENT_ERROR;
        return 0;
    }
    if (era == icu::GregorianCalendar::BC) year = 1 - year;
    const std::int64_t wall = PosixTimeZoneRule::startOfDay(year, month + 1, day) + milliseconds / 1000;
    return rules_->atLocal(wall, Choice::former, Choice::latter).offset * 1000;
}

void RulesTimeZone::getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset, UErrorCode& status) const {
    if (U_FAILURE(status)) return;
    const std::int64_t seconds = floorSeconds(date);
    split(local ? rules_->atLocal(seconds, Choice::former, Choice::latter) : rules_->at(seconds), rawOffset, dstOffset);
}

void RulesTimeZone::getOffsetFromLocal(UDate date, UTimeZoneLocalOption nonExistingTimeOption,
                                       UTimeZoneLocalOption duplicatedTimeOption, int32_t& rawOffset, int32_t& dstOffset,
                                       UErrorCode& status) const {
    if (U_FAILURE(status)) return;
    const std::int64_t wall = floorSeconds(date);
    const auto former = rules_->atLocal(wall, Choice::former, Choice::former);
    const auto latter = rules_->atLocal(wall, Choice::latter, Choice::latter);
    auto chosen = former;
    if (former != latter) {
        const int option = latter.offset > former.offset ? nonExistingTimeOption : duplicatedTimeOption;
        const bool formerIsDaylight = isDaylight(former);
        const bool latterIsDaylight = isDaylight(latter);
        const int wanted = option & 0x03;  // 0x01 standard, 0x03 daylight, 0 either
        if (wanted != 0 && formerIsDaylight != latterIsDaylight) {
            chosen = (latterIsDaylight == (wanted == 0x03)) ? latter : former;
        } else if ((option & UCAL_TZ_LOCAL_LATTER) == UCAL_TZ_LOCAL_LATTER) {
            chosen = latter;
        }
    }
    split(chosen, rawOffset, dstOffset);
}

int32_t RulesTimeZone::getRawOffset() const { return rules_->at(floorSeconds(icu::Calendar::getNow())).standardOffset * 1000; }

UBool RulesTimeZone::useDaylightTime() const {
    const std::int64_t now = floorSeconds(icu::Calendar::getNow());
    constexpr std::int64_t year = 366 * 86400;
    if (isDaylight(rules_->at(now))) return true;
    for (auto change = rules_->transitionAfter(now); change && *change < now + year; change = rules_->transitionAfter(*change)) {
        if (isDaylight(rules_->at(*change))) return true;
    }
    return false;
}

UBool RulesTimeZone::inDaylightTime(UDate date, UErrorCode& status) const {
    if (U_FAILURE(status)) return false;
    return isDaylight(rules_->at(floorSeconds(date)));
}

UBool RulesTimeZone::getNextTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const {
    if (std::isnan(base)) return false;
    // The first change at or after the base, or strictly after it.
    auto change = rules_->transitionAfter(inclusive ? ceilingSeconds(base) - 1 : floorSeconds(base));
    if (change) describe(*rules_, *change, result);
    return change.has_value();
}

UBool RulesTimeZone::getPreviousTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const {
    if (std::isnan(base)) return false;
    // The last change at or before the base, or strictly before it.
    auto change = rules_->transitionBefore(inclusive ? floorSeconds(base) + 1 : ceilingSeconds(base));
    if (change) describe(*rules_, *change, result);
    return change.has_value();
}

int32_t RulesTimeZone::countTransitionRules(UErrorCode& status) const {
    if (U_SUCCESS(status)) status = U_UNSUPPORTED_ERROR;
    return 0;
}

void RulesTimeZone::getTimeZoneRules(const icu::InitialTimeZoneRule*& initial, const icu::TimeZoneRule*[], int32_t& count,
                                     UErrorCode& status) const {
    initial = nullptr;
    count = 0;
    if (U_SUCCESS(status)) status = U_UNSUPPORTED_ERROR;
}

UClassID RulesTimeZone::getStaticClassID() {
    static char classID = 0;
    return &classID;
}

UClassID RulesTimeZone::getDynamicClassID() const { return getStaticClassID(); }
