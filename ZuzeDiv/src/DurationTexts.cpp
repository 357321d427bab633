#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "Foundation/Calendar.hpp"
#include "Foundation/Date.hpp"
#include "ZuzeDiv/DateExtensions.hpp"
#include "ZuzeDiv/DateUtilities.hpp"
#include "ZuzeDiv/Profiler.hpp"
#include "ZuzeDiv/ThreadedDictionary.hpp"
#include "ZuzeDiv/TimeUtilities.hpp"

namespace ZuzeDiv {

namespace {
template <class... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

std::optional<int> todayPart(CalendarComponent component) {
    return Calendar(Calendar::Identifier::gregorian).component(component, Date());
}
}  // namespace

std::string DateUtilities::durationText(std::int64_t s) {
    // The magnitude is tested against each bound from both sides, so that the most negative count
    // (which has no positive counterpart) needs no negation.
    const auto atLeast = [s](std::int64_t bound) { return s >= bound || s <= -bound; };
    // The values fit an int for any realistic length; they are written with %lld all the same.
    using ll = long long;
    if (atLeast(86400))
        return format("%2lld:%2lld:%02lld:%02lld", ll(s / 86400), ll((s % 86400) / 3600), ll((s % 3600) / 60), ll(s % 60));
    if (atLeast(3600)) return format("00:%2lld:%2lld:%02lld", ll(s / 3600), ll((s % 3600) / 60), ll(s % 60));
    if (atLeast(60)) return format("00:00:%2lld:%02lld", ll(s / 60), ll(s % 60));
    if (s == 0) return "00:00:00:00";
    return format("00:00:00:%02lld", ll(s));
}

int DateUtilities::currentDay() { return todayPart(CalendarComponent::day).value_or(1); }
int DateUtilities::currentMonth() { return todayPart(CalendarComponent::month).value_or(1); }
int DateUtilities::currentYear() { return todayPart(CalendarComponent::year).value_or(0); }

std::string TimeUtilities::stopwatchText(std::uint64_t n) {
    using ull = unsigned long long;
    if (n == 0) return "00:00.000";
    const ull milliseconds = (n / 1'000'000) % 1000;
    if (n < 3'600'000'000'000ull)
        return format("%02llu:%02llu", ull(n / 60'000'000'000ull), ull((n / 1'000'000'000) % 60)) + format(".%03llu", milliseconds);
    return format("%02llu:%02llu:%02llu", ull(n / 3'600'000'000'000ull), ull((n / 60'000'000'000ull) % 60),
                  ull((n / 1'000'000'000) % 60)) +
           format(".%03llu", milliseconds);
}

std::string TimeUtilities::measurementText(std::uint64_t amount, const UnitDuration& unit, const UnitDuration& to) {
    Measurement<UnitDuration> measurement{static_cast<double>(amount), unit};
    MeasurementFormatter formatter;
    formatter.numberFormatter().setAllowsFloats(true);
    return formatter.string(measurement.converted(to));
}

std::string TimeUtilities::measurementText(std::int64_t amount, const UnitDuration& unit, const UnitDuration& to) {
    if (amount < 0) throw std::invalid_argument("measurementText: a negative amount of time");
    return measurementText(static_cast<std::uint64_t>(amount), unit, to);
}

namespace {
ThreadedDictionary<std::string, double>& profilerStore() {
    static ThreadedDictionary<std::string, double> store;
    return store;
}
}  // namespace

void Profiler::start(const std::string& name) { profilerStore()[name] = currentTimestamp(); }

void Profiler::stop(const std::string& name) {
    auto& store = profilerStore();
    auto started = store.get(name);
    if (!started) return;
    const double elapsed = (currentTimestamp() - *started) * 1000.0;
    std::printf("%s: %.03f ms\n", name.c_str(), elapsed);
    std::fflush(stdout);
    store[name] = std::nullopt;
}

}  // namespace ZuzeDiv
