// ".strings" tables as bundles carry them.
#include <cstdint>
#include <string>

#include "Foundation/Bundle.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    parseStringsTable(std::string(reinterpret_cast<const char*>(bytes), size));
    return 0;
}
