// Property lists in either format, as settings files and bundles hand them over: whatever reads
// must write again and read back. A binary list is written back bit for bit (an XML one may hold
// texts that are no UTF-8, which the binary format cannot keep as they are). XML may refuse texts
// it cannot hold; it is tried for small lists only, since its indentation grows with the depth of
// every value (a megabyte of binary list deep down would make gigabytes of XML).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Foundation/PropertyList.hpp"

namespace {
constexpr std::size_t largestXML = 65536;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto value = PropertyListSerialization::propertyList(Data(bytes, bytes + size));
    if (!value) return 0;
    if (size <= largestXML) {
        if (auto xml = PropertyListSerialization::data(*value, PropertyListSerialization::Format::xml)) {
            if (!PropertyListSerialization::propertyList(*xml)) std::abort();
        }
    }
    const auto binary = PropertyListSerialization::data(*value, PropertyListSerialization::Format::binary);
    value.reset();
    auto again = binary ? PropertyListSerialization::propertyList(*binary) : std::nullopt;
    if (!again) std::abort();
    const bool readBinary = size >= 8 && std::memcmp(bytes, "bplist00", 8) == 0;
    if (readBinary && PropertyListSerialization::data(*again, PropertyListSerialization::Format::binary) != binary) std::abort();
    return 0;
}
