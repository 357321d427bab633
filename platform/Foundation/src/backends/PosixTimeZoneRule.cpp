#include "backends/PosixTimeZoneRule.hpp"

#include <unicode/simpletz.h>

#include <array>
#include <cctype>
#include <optional>
#include <string_view>

namespace posixtz {

namespace {

constexpr int secondsPerDay = 86400;

// A day of the year on which the clocks change, as the rule writes it.
struct ChangeDay {
    enum class Kind { julian, zeroBased, weekday } kind = Kind::weekday;
    int day = 0;            // julian 1-365 (29 February never counted), zeroBased 0-365
    int month = 0;          // weekday: 1-12
    int week = 0;           // weekday: 1-4, 5 for the last
    int weekday = 0;        // weekday: Sunday 0 to Saturday 6
    int seconds = 7200;     // local time of the change, -167 to 167 hours
};

struct Rule {
    std::string standardName;
    int standardOffset = 0;  // seconds east of Greenwich
    std::optional<std::string> daylightName;
    int daylightOffset = 0;
    ChangeDay start, end;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    bool take(char c) {
        if (atEnd() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    // Three or more letters, or anything of letters, digits and signs between angle brackets.
    std::optional<std::string> name() {
        std::size_t begin = at_;
        if (take('<')) {
            while (!atEnd() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '+' ||
                                text_[at_] == '-'))
                ++at_;
            std::string quoted(text_.substr(begin + 1, at_ - begin - 1));
            if (!take('>') || quoted.size() < 3) return std::nullopt;
            return quoted;
        }
        while (!atEnd() && std::isalpha(static_cast<unsigned char>(text_[at_]))) ++at_;
        if (at_ - begin < 3) return std::nullopt;
        return std::string(text_.substr(begin, at_ - begin));
    }

    std::optional<int> number(int low, int high) {
        std::size_t begin = at_;
        int value = 0;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(text_[at_])) && at_ - begin < 3)
            value = value * 10 + (text_[at_++] - '0');
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

    std::optional<ChangeDay> changeDay() {
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

std::optional<Rule> parse(std::string_view text) {
    Reader reader(text);
    Rule rule;
    auto standardName = reader.name();
    auto standardOffset = standardName ? reader.time(24) : std::nullopt;
    if (!standardOffset) return std::nullopt;
    rule.standardName = *standardName;
    rule.standardOffset = -*standardOffset;  // the rule counts hours west of Greenwich
    if (reader.atEnd()) return rule;

    rule.daylightName = reader.name();
    if (!rule.daylightName) return std::nullopt;
    rule.daylightOffset = rule.standardOffset + 3600;
    if (!reader.atEnd() && !reader.take(',')) {
        auto offset = reader.time(24);
        if (!offset) return std::nullopt;
        rule.daylightOffset = -*offset;
        if (!reader.atEnd() && !reader.take(',')) return std::nullopt;
    }
    if (reader.atEnd()) {
        // Summer time without dates: the C library's default, the rules of the United States.
        rule.start = ChangeDay{ChangeDay::Kind::weekday, 0, 3, 2, 0, 7200};
        rule.end = ChangeDay{ChangeDay::Kind::weekday, 0, 11, 1, 0, 7200};
        return rule;
    }
    auto start = reader.changeDay();
    auto end = start && reader.take(',') ? reader.changeDay() : std::nullopt;
    if (!end || !reader.atEnd()) return std::nullopt;
    rule.start = *start;
    rule.end = *end;
    return rule;
}

// A change day in ICU's terms: a month, a day and a weekday in one of ICU's encodings, and the
// milliseconds into that day.
struct ICURule {
    int month = 0;
    int day = 0;
    int dayOfWeek = 0;
    int milliseconds = 0;
};

constexpr std::array<int, 12> daysInMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::optional<ICURule> icuRule(const ChangeDay& change) {
    // A time past midnight or before it moves the change to another day.
    int shift = change.seconds >= 0 ? change.seconds / secondsPerDay : -((-change.seconds + secondsPerDay - 1) / secondsPerDay);
    ICURule rule;
    rule.milliseconds = (change.seconds - shift * secondsPerDay) * 1000;
    if (change.kind != ChangeDay::Kind::weekday) {
        // Day n of a year without 29 February; counted from 0 it is off by one day after
        // February in leap years, which ICU's rules cannot say.
        int day = (change.kind == ChangeDay::Kind::julian ? change.day : change.day + 1) + shift;
        if (day < 1 || day > 365) return std::nullopt;
        int month = 0;
        while (day > daysInMonth[static_cast<std::size_t>(month)]) day -= daysInMonth[static_cast<std::size_t>(month++)];
        rule.month = month;
        rule.day = day;
        return rule;
    }
    rule.month = change.month - 1;
    const int icuWeekday = (((change.weekday + shift) % 7) + 7) % 7 + 1;  // Sunday 1
    if (shift == 0) {
        rule.day = change.week == 5 ? -1 : change.week;
        rule.dayOfWeek = icuWeekday;
    } else if (change.week < 5) {
        // The n-th weekday moved by `shift` days: the moved weekday on or after that day of the month.
        rule.day = 7 * (change.week - 1) + 1 + shift;
        rule.dayOfWeek = -icuWeekday;
        if (rule.day < 1) return std::nullopt;
    } else {
        // The last weekday moved back: the moved weekday on or before that day of the month.
        if (shift > 0 || change.month == 2) return std::nullopt;
        rule.day = -(daysInMonth[static_cast<std::size_t>(rule.month)] + shift);
        rule.dayOfWeek = -icuWeekday;
    }
    return rule;
}

}  // namespace

std::unique_ptr<icu::TimeZone> zone(const std::string& text) {
    auto rule = parse(text);
    if (!rule) return nullptr;
    const auto id = icu::UnicodeString::fromUTF8(text);
    const int savings = (rule->daylightOffset - rule->standardOffset) * 1000;
    if (!rule->daylightName || savings == 0)
        return std::make_unique<icu::SimpleTimeZone>(rule->standardOffset * 1000, id);
    auto start = icuRule(rule->start);
    auto end = icuRule(rule->end);
    if (!start || !end) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::SimpleTimeZone>(
        rule->standardOffset * 1000, id, static_cast<int8_t>(start->month), static_cast<int8_t>(start->day),
        static_cast<int8_t>(start->dayOfWeek), start->milliseconds, icu::SimpleTimeZone::WALL_TIME,
        static_cast<int8_t>(end->month), static_cast<int8_t>(end->day), static_cast<int8_t>(end->dayOfWeek),
        end->milliseconds, icu::SimpleTimeZone::WALL_TIME, savings, status);
    if (U_FAILURE(status)) return nullptr;
    return made;
}

}  // namespace posixtz
