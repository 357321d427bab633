// Zone files of the time-zone database, as the system's time zones are read: whatever reads must
// answer for any moment and wall-clock time, and its changes must follow one another in order.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Foundation/backends/TimeZoneRules.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto rules = TimeZoneRules::zoneFile(std::string_view(reinterpret_cast<const char*>(bytes), size));
    if (!rules) return 0;
    using Choice = TimeZoneRules::Choice;
    for (std::int64_t time : {INT64_MIN, std::int64_t{-1} << 59, std::int64_t{-2208988800}, std::int64_t{0},
                              std::int64_t{1719792000}, std::int64_t{4102444800}, std::int64_t{1} << 50, INT64_MAX}) {
        rules->at(time);
        rules->atLocal(time, Choice::former, Choice::latter);
        rules->atLocal(time, Choice::latter, Choice::former);
        auto next = rules->transitionAfter(time);
        if (next && (*next <= time || rules->at(*next) == rules->at(*next - 1))) std::abort();
        if (auto previous = rules->transitionBefore(time); previous && *previous >= time) std::abort();
    }
    // The changes from before 1900 on, in order.
    std::int64_t time = -2208988800;
    for (int step = 0; step < 300; ++step) {
        auto next = rules->transitionAfter(time);
        if (!next) break;
        if (*next <= time || rules->transitionBefore(*next + 1) != next) std::abort();
        time = *next;
    }
    return 0;
}
