#include "Foundation/backends/TimeZoneRules.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "Foundation/backends/RegularFile.hpp"

namespace {

// Moments are taken within about 73 billion years of 1970, and listed changes within half that,
// so that no sum of a moment, an offset and a day overflows.
constexpr std::int64_t farthest = std::int64_t{1} << 61;
constexpr std::int64_t farthestChange = std::int64_t{1} << 60;
// Offsets from UTC of at most 25:59:59, as RFC 8536 advises.
constexpr std::int32_t largestOffset = 93599;
// A rule's changes recur within a few years; one that shows none in thirty shows none at all.
constexpr std::int64_t yearsSearched = 30;

std::int64_t clamped(std::int64_t time) { return std::clamp(time, -farthest, farthest); }

// The fields of a zone file, read big-endian from its start.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - at_; }
    std::string_view rest() const { return bytes_.substr(at_); }
    bool skip(std::uint64_t count) {
        if (count > remaining()) return false;
        at_ += static_cast<std::size_t>(count);
        return true;
    }
    std::uint64_t unsignedNumber(std::size_t size) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(bytes_[at_ + i]);
        at_ += size;
        return value;
    }
    // A two's-complement number of 4 or 8 bytes.
    std::int64_t signedNumber(std::size_t size) {
        const std::uint64_t value = unsignedNumber(size);
        if (size == 8) return static_cast<std::int64_t>(value);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    std::uint8_t byte() { return static_cast<std::uint8_t>(bytes_[at_++]); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

struct Header {
    char version = 0;
    std::uint64_t isUT = 0, isStandard = 0, leaps = 0, times = 0, types = 0, characters = 0;

    // The bytes of the data block that follows, with times of `timeSize` bytes.
    std::uint64_t dataSize(std::size_t timeSize) const {
        return times * timeSize + times + types * 6 + characters + leaps * (timeSize + 4) + isStandard + isUT;
    }
};

constexpr std::size_t headerSize = 44;

std::optional<Header> readHeader(ByteReader& reader) {
    if (reader.remaining() < headerSize || !reader.rest().starts_with("TZif")) return std::nullopt;
    reader.skip(4);
    Header header;
    header.version = static_cast<char>(reader.byte());
    reader.skip(15);
    for (auto* count : {&header.isUT, &header.isStandard, &header.leaps, &header.times, &header.types, &header.characters})
        *count = reader.unsignedNumber(4);
    if (header.types == 0 || header.characters == 0) return std::nullopt;
    if ((header.isUT != 0 && header.isUT != header.types) || (header.isStandard != 0 && header.isStandard != header.types))
        return std::nullopt;
    return header;
}

}  // namespace

std::optional<TimeZoneRules> TimeZoneRules::zoneFile(std::string_view bytes) {
    ByteReader reader(bytes);
    auto header = readHeader(reader);
    if (!header) return std::nullopt;
    std::size_t timeSize = 4;
    if (header->version != '\0') {
        // Version 2 and later repeat the data with 64-bit times after the 32-bit block.
        if (!reader.skip(header->dataSize(4))) return std::nullopt;
        header = readHeader(reader);
        if (!header) return std::nullopt;
        timeSize = 8;
    }
    if (header->dataSize(timeSize) > reader.remaining()) return std::nullopt;

    TimeZoneRules rules;
    rules.transitions_.reserve(header->times);
    for (std::uint64_t i = 0; i < header->times; ++i) {
        const std::int64_t time = reader.signedNumber(timeSize);
        if (time < -farthestChange || time > farthestChange) return std::nullopt;
        if (!rules.transitions_.empty() && time <= rules.transitions_.back()) return std::nullopt;
        rules.transitions_.push_back(time);
    }
    rules.typeOfTransition_.reserve(header->times);
    for (std::uint64_t i = 0; i < header->times; ++i) {
        const std::uint8_t type = reader.byte();
        if (type >= header->types) return std::nullopt;
        rules.typeOfTransition_.push_back(type);
    }
    struct RawType {
        std::int32_t offset;
        std::uint8_t isDaylight, abbreviationIndex;
    };
    std::vector<RawType> rawTypes;
    rawTypes.reserve(header->types);
    for (std::uint64_t i = 0; i < header->types; ++i) {
        const auto offset = static_cast<std::int32_t>(reader.signedNumber(4));
        const std::uint8_t isDaylight = reader.byte();
        const std::uint8_t abbreviationIndex = reader.byte();
        if (offset < -largestOffset || offset > largestOffset || isDaylight > 1 || abbreviationIndex >= header->characters)
            return std::nullopt;
        rawTypes.push_back({offset, isDaylight, abbreviationIndex});
    }
    const std::string_view characters = reader.rest().substr(0, header->characters);
    for (const auto& raw : rawTypes) {
        auto abbreviation = characters.substr(raw.abbreviationIndex);
        abbreviation = abbreviation.substr(0, abbreviation.find('\0'));
        rules.types_.push_back({raw.offset, raw.isDaylight == 1, std::string(abbreviation)});
    }
    // Leap seconds and the standard/UT indicators are of no use to local time.
    reader.skip(header->characters + header->leaps * (timeSize + 4) + header->isStandard + header->isUT);

    // The footer, "\n<rule>\n"; a file without one, or with one that is no rule, keeps its last
    // local time after its last change.
    const std::string_view footer = reader.rest();
    if (timeSize == 8 && footer.size() > 2 && footer.front() == '\n' && footer.back() == '\n' &&
        footer.find('\n', 1) == footer.size() - 1 && !rules.transitions_.empty()) {
        rules.rule_ = PosixTimeZoneRule::parse(footer.substr(1, footer.size() - 2));
    }

    const auto standard = std::find_if(rules.types_.begin(), rules.types_.end(), [](const auto& t) { return !t.isDaylight; });
    rules.initialType_ = standard == rules.types_.end() ? 0 : static_cast<std::size_t>(standard - rules.types_.begin());
    rules.findStandardOffsets();
    return rules;
}

std::optional<TimeZoneRules> TimeZoneRules::readZoneFile(const std::filesystem::path& path) {
    auto bytes = RegularFile::contents(path, maximumFileSize);
    if (!bytes) return std::nullopt;
    return zoneFile(*bytes);
}

TimeZoneRules::TimeZoneRules(PosixTimeZoneRule rule) : standardOffsets_{0}, rule_(std::move(rule)) {}

// The offset without summer time of each period: a period of summer time counts from the nearest
// period of standard time, earlier ones first; a standard period next to a summer period with a
// lower offset (negative savings) counts from that one.
void TimeZoneRules::findStandardOffsets() {
    const std::size_t periods = transitions_.size() + 1;
    auto type = [&](std::size_t period) -> const LocalTimeType& {
        return types_[period == 0 ? initialType_ : typeOfTransition_[period - 1]];
    };
    std::vector<std::optional<std::int32_t>> standardBefore(periods), standardAfter(periods);
    std::optional<std::int32_t> seen;
    for (std::size_t p = 0; p < periods; ++p) {
        if (!type(p).isDaylight) seen = type(p).offset;
        standardBefore[p] = seen;
    }
    seen.reset();
    for (std::size_t p = periods; p-- > 0;) {
        if (!type(p).isDaylight) seen = type(p).offset;
        standardAfter[p] = seen;
    }
    standardOffsets_.resize(periods);
    for (std::size_t p = 0; p < periods; ++p) {
        const LocalTimeType& own = type(p);
        std::int32_t standard = own.offset;
        if (own.isDaylight) {
            auto reference = standardBefore[p] ? standardBefore[p] : standardAfter[p];
            standard = reference ? std::min(*reference, own.offset) : own.offset - 3600;
        } else {
            for (std::size_t neighbour : {p - 1, p + 1}) {
                if (neighbour < periods && type(neighbour).isDaylight) standard = std::min(standard, type(neighbour).offset);
            }
        }
        standardOffsets_[p] = standard;
    }
}

TimeZoneRules::LocalTime TimeZoneRules::ofPeriod(std::size_t period) const {
    const LocalTimeType& type = types_[period == 0 ? initialType_ : typeOfTransition_[period - 1]];
    return {type.offset, standardOffsets_[period], type.isDaylight, type.abbreviation};
}

TimeZoneRules::LocalTime TimeZoneRules::ofRule(std::int64_t time) const {
    const LocalTimeType& type = rule_->at(time);
    const auto& daylight = rule_->daylightTime();
    const std::int32_t standard = daylight ? std::min(rule_->standardTime().offset, daylight->offset) : type.offset;
    return {type.offset, standard, type.isDaylight, type.abbreviation};
}

TimeZoneRules::LocalTime TimeZoneRules::at(std::int64_t time) const {
    time = clamped(time);
    if (transitions_.empty()) return rule_ ? ofRule(time) : ofPeriod(0);
    if (rule_ && time >= transitions_.back()) return ofRule(time);
    const auto after = std::upper_bound(transitions_.begin(), transitions_.end(), time);
    return ofPeriod(static_cast<std::size_t>(after - transitions_.begin()));
}

bool TimeZoneRules::changesAt(std::int64_t time) const { return at(time) != at(time - 1); }

TimeZoneRules::LocalTime TimeZoneRules::atLocal(std::int64_t wall, Choice skipped, Choice repeated) const {
    // The instant of a wall-clock time lies within a day and two hours of it.
    constexpr std::int64_t margin = 26 * 3600;
    wall = clamped(wall);
    LocalTime current = at(wall - margin);
    for (auto change = transitionAfter(wall - margin); change && *change <= wall + margin; change = transitionAfter(*change)) {
        const LocalTime next = at(*change);
        const std::int64_t before = current.offset, after = next.offset;
        if (wall >= *change + std::max(before, after)) {
            current = next;
            continue;
        }
        // Between the two readings of the change: skipped when the clocks go forward, shown twice
        // when they go back.
        if (wall >= *change + std::min(before, after) && (after > before ? skipped : repeated) == Choice::latter) current = next;
        break;
    }
    return current;
}

std::optional<std::int64_t> TimeZoneRules::ruleBreakpoint(std::int64_t time, bool after) const {
    if (!rule_ || !rule_->daylightTime()) return std::nullopt;
    const std::optional<std::int64_t> lastListed = transitions_.empty() ? std::nullopt : std::optional(transitions_.back());
    const std::int64_t year = PosixTimeZoneRule::yearOf(time);
    for (std::int64_t i = 0; i < yearsSearched; ++i) {
        const std::int64_t y = after ? year + i : year - i;
        if (!after && lastListed && PosixTimeZoneRule::startOfDay(y + 1, 1, 1) <= *lastListed) break;
        std::array<std::optional<std::int64_t>, 3> moments = rule_->breakpoints(y);
        std::sort(moments.begin(), moments.end());  // absent ones first
        if (!after) std::reverse(moments.begin(), moments.end());
        for (const auto& moment : moments) {
            if (!moment || (after ? *moment <= time : *moment >= time)) continue;
            if (lastListed && *moment <= *lastListed) continue;
            if (changesAt(*moment)) return moment;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> TimeZoneRules::transitionAfter(std::int64_t time) const {
    time = clamped(time);
    for (auto it = std::upper_bound(transitions_.begin(), transitions_.end(), time); it != transitions_.end(); ++it) {
        if (changesAt(*it)) return *it;
    }
    return ruleBreakpoint(transitions_.empty() ? time : std::max(time, transitions_.back()), true);
}

std::optional<std::int64_t> TimeZoneRules::transitionBefore(std::int64_t time) const {
    time = clamped(time);
    if (auto moment = ruleBreakpoint(time, false)) return moment;
    for (auto it = std::lower_bound(transitions_.begin(), transitions_.end(), time); it != transitions_.begin();) {
        --it;
        if (changesAt(*it)) return *it;
    }
    return std::nullopt;
}
