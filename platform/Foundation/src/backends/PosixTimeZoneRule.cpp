#include "Foundation/backends/PosixTimeZoneRule.hpp"

#include <algorithm>

namespace {

constexpr std::int64_t secondsPerDay = 86400;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    bool next(char c) const { return !atEnd() && text_[at_] == c; }
    bool take(char c) {
        if (!next(c)) return false;
        ++at_;
        return true;
    }
    bool nextIsTime() const { return !atEnd() && (isDigit(text_[at_]) || text_[at_] == '+' || text_[at_] == '-'); }

    // Three or more letters, or three or more letters, digits and signs between angle brackets.
    std::optional<std::string> name() {
        std::size_t begin = at_;
        if (take('<')) {
            while (!atEnd() && (isLetter(text_[at_]) || isDigit(text_[at_]) || text_[at_] == '+' || text_[at_] == '-')) ++at_;
            std::string quoted(text_.substr(begin + 1, at_ - begin - 1));
            if (!take('>') || quoted.size() < 3) return std::nullopt;
            return quoted;
        }
        while (!atEnd() && isLetter(text_[at_])) ++at_;
        if (at_ - begin < 3) return std::nullopt;
        return std::string(text_.substr(begin, at_ - begin));
    }

    std::optional<int> number(int low, int high) {
        std::size_t begin = at_;
        int value = 0;
        while (!atEnd() && isDigit(text_[at_]) && at_ - begin < 3) value = value * 10 + (text_[at_++] - '0');
        if (at_ == begin || value < low || value > high) return std::nullopt;
        return value;
    }

    // [+-]hh[:mm[:ss]] in seconds, the hours at most `maxHours`.
    std::optional<int> time(int maxHours) {
        int sign = take('-') ? -1 : (take('+'), 1);
        auto hours = number(0, maxHours);
        if (!hours) return std::nullopt;
        int seconds = *hours * 3600;
        for (int unit : {60, 1}) {
            if (!take(':')) break;
            auto part = number(0, 59);
            if (!part) return std::nullopt;
            seconds += *part * unit;
        }
        return sign * seconds;
    }

    std::optional<PosixTimeZoneRule::ChangeDay> changeDay() {
        using ChangeDay = PosixTimeZoneRule::ChangeDay;
        ChangeDay day;
        if (take('J')) {
            auto n = number(1, 365);
            if (!n) return std::nullopt;
            day.kind = ChangeDay::Kind::julian;
            day.day = *n;
        } else if (take('M')) {
            auto month = number(1, 12);
            auto week = month && take('.') ? number(1, 5) : std::nullopt;
            auto weekday = week && take('.') ? number(0, 6) : std::nullopt;
            if (!weekday) return std::nullopt;
            day.month = *month;
            day.week = *week;
            day.weekday = *weekday;
        } else {
            auto n = number(0, 365);
            if (!n) return std::nullopt;
            day.kind = ChangeDay::Kind::zeroBased;
            day.day = *n;
        }
        if (take('/')) {
            auto seconds = time(167);
            if (!seconds) return std::nullopt;
            day.seconds = *seconds;
        }
        return day;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// The rules of the United States, which the C library takes for summer time without dates.
const PosixTimeZoneRule::ChangeDay defaultStart{PosixTimeZoneRule::ChangeDay::Kind::weekday, 0, 3, 2, 0, 7200};
const PosixTimeZoneRule::ChangeDay defaultEnd{PosixTimeZoneRule::ChangeDay::Kind::weekday, 0, 11, 1, 0, 7200};

bool isLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// Days since 1970-01-01 of a date of the Gregorian calendar, and back.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t yearOfDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (monthIndex >= 10 ? 1 : 0);
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    return value / divisor - (value % divisor != 0 && (value < 0) != (divisor < 0) ? 1 : 0);
}

}  // namespace

std::optional<PosixTimeZoneRule> PosixTimeZoneRule::parse(std::string_view text) {
    Reader reader(text);
    PosixTimeZoneRule rule;
    rule.text_ = std::string(text);
    auto standardName = reader.name();
    auto standardOffset = standardName ? reader.time(24) : std::nullopt;
    if (!standardOffset) return std::nullopt;
    rule.standard_ = {-*standardOffset, false, *standardName};  // the rule counts hours west of Greenwich
    if (reader.atEnd()) return rule;

    auto daylightName = reader.name();
    if (!daylightName) return std::nullopt;
    LocalTimeType daylight{rule.standard_.offset + 3600, true, *daylightName};
    if (reader.nextIsTime()) {
        auto offset = reader.time(24);
        if (!offset) return std::nullopt;
        daylight.offset = -*offset;
    }
    rule.daylight_ = daylight;
    rule.start_ = defaultStart;
    rule.end_ = defaultEnd;
    // A comma before each date may be left out, and so may the dates: the end alone, or both.
    reader.take(',');
    if (reader.atEnd()) return rule;
    auto start = reader.changeDay();
    if (!start) return std::nullopt;
    rule.start_ = *start;
    reader.take(',');
    if (reader.atEnd()) return rule;
    auto end = reader.changeDay();
    if (!end || !reader.atEnd()) return std::nullopt;
    rule.end_ = *end;
    return rule;
}

std::int64_t PosixTimeZoneRule::yearOf(std::int64_t time) { return yearOfDays(floorDivide(time, secondsPerDay)); }

std::int64_t PosixTimeZoneRule::startOfDay(std::int64_t year, int month, int day) {
    return daysFromCivil(year, month, day) * secondsPerDay;
}

std::int64_t PosixTimeZoneRule::changeIn(std::int64_t year, const ChangeDay& change, std::int32_t offsetBefore) const {
    std::int64_t day = daysFromCivil(year, 1, 1);
    switch (change.kind) {
        case ChangeDay::Kind::julian: day += change.day - 1 + (change.day >= 60 && isLeapYear(year) ? 1 : 0); break;
        case ChangeDay::Kind::zeroBased: day += change.day; break;
        case ChangeDay::Kind::weekday: {
            day = daysFromCivil(year, change.month, 1);
            const int firstWeekday = static_cast<int>(((day + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
            int dayOfMonth = (change.weekday - firstWeekday + 7) % 7;
            // The n-th such weekday; the fifth is the last, whether the month has four or five.
            for (int week = 1; week < change.week && dayOfMonth + 7 < daysInMonth(year, change.month); ++week) dayOfMonth += 7;
            day += dayOfMonth;
            break;
        }
    }
    return day * secondsPerDay + change.seconds - offsetBefore;
}

const LocalTimeType& PosixTimeZoneRule::at(std::int64_t time) const {
    if (!daylight_) return standard_;
    const std::int64_t year = yearOf(time);
    const std::int64_t start = changeIn(year, start_, standard_.offset);
    const std::int64_t end = changeIn(year, end_, daylight_->offset);
    const bool daylight = start > end ? time < end || time >= start : time >= start && time < end;
    return daylight ? *daylight_ : standard_;
}

std::array<std::optional<std::int64_t>, 3> PosixTimeZoneRule::breakpoints(std::int64_t year) const {
    const std::int64_t first = startOfDay(year, 1, 1);
    std::array<std::optional<std::int64_t>, 3> moments{first, std::nullopt, std::nullopt};
    if (!daylight_) return moments;
    const std::int64_t next = startOfDay(year + 1, 1, 1);
    const std::int64_t changes[] = {changeIn(year, start_, standard_.offset), changeIn(year, end_, daylight_->offset)};
    for (std::size_t i = 0; i < 2; ++i) {
        if (changes[i] > first && changes[i] < next) moments[i + 1] = changes[i];
    }
    return moments;
}
