// Property lists in either format, as settings files and bundles hand them over: whatever reads
// must write again and read back.
#include <cstdint>
#include <cstdlib>

#include "Foundation/PropertyList.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto value = PropertyListSerialization::propertyList(Data(bytes, bytes + size));
    if (!value) return 0;
    for (auto format : {PropertyListSerialization::Format::binary, PropertyListSerialization::Format::xml}) {
        if (!PropertyListSerialization::propertyList(PropertyListSerialization::data(*value, format))) std::abort();
    }
    return 0;
}
