#pragma once
// An ICU time zone that follows TimeZoneRules, so that ICU's calendars and formatters keep the
// local time of the system's zone files and the C library's reading of TZ. Copies share the rules.
#include <unicode/basictz.h>

#include <memory>

#include "Foundation/backends/TimeZoneRules.hpp"

class RulesTimeZone final : public icu::BasicTimeZone {
public:
    RulesTimeZone(const icu::UnicodeString& identifier, std::shared_ptr<const TimeZoneRules> rules);

    RulesTimeZone* clone() const override;
    bool operator==(const icu::TimeZone& other) const override;
    UBool hasSameRules(const icu::TimeZone& other) const override;

    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek, int32_t milliseconds,
                      UErrorCode& status) const override;
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek, int32_t milliseconds,
                      int32_t monthLength, UErrorCode& status) const override;
    /// For a local time (`local`), a wall-clock time the clocks skip is read in the offset before
    /// the change and one they show twice in the offset after it, as ICU's calendars expect.
    void getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset, UErrorCode& status) const override;
    void getOffsetFromLocal(UDate date, UTimeZoneLocalOption nonExistingTimeOption, UTimeZoneLocalOption duplicatedTimeOption,
                            int32_t& rawOffset, int32_t& dstOffset, UErrorCode& status) const override;

    /// The rules cannot be changed.
    void setRawOffset(int32_t) override {}
    /// The offset without summer time now.
    int32_t getRawOffset() const override;
    /// Whether summer time is kept now or within the coming year.
    UBool useDaylightTime() const override;
    UBool inDaylightTime(UDate date, UErrorCode& status) const override;

    UBool getNextTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const override;
    UBool getPreviousTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const override;
    /// The rules of a zone file and its footer are no ICU rules: both answer U_UNSUPPORTED_ERROR.
    int32_t countTransitionRules(UErrorCode& status) const override;
    void getTimeZoneRules(const icu::InitialTimeZoneRule*& initial, const icu::TimeZoneRule* rules[], int32_t& count,
                          UErrorCode& status) const override;

    static UClassID getStaticClassID();
    UClassID getDynamicClassID() const override;

private:
    std::shared_ptr<const TimeZoneRules> rules_;
};
