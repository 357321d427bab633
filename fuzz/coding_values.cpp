// Type-erased values decoded from any JSON document and encoded again.
#include <cstdint>

#include "ZuzeDiv/AnyCodable.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto container = ZuzeDiv::CodingContainer::parse(bytes, bytes + size, nullptr, false);
    if (container.is_discarded()) return 0;
    try {
        auto value = ZuzeDiv::AnyCodable::decode(container);
        ZuzeDiv::CodingContainer out;
        value.encode(out);
    } catch (const ZuzeDiv::DecodingError&) {
    }
    return 0;
}
