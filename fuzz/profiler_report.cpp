// The profiler's indented text report, parsed into its tree and written out again.
#include <cstdint>
#include <string>

#include "ZuzaduduRez/ProfilerOutputParser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto tree = ZuzaduduRez::ProfilerOutputParser().parse(std::string(reinterpret_cast<const char*>(bytes), size));
    if (tree) tree->description();
    return 0;
}
