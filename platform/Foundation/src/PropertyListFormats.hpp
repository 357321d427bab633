#pragma once
// The two property-list formats, read and written without outside help: the binary format
// ("bplist00") and the XML format. Readers refuse anything damaged, deeper than
// PropertyListSerialization::maximumDepth, or (binary) expanding to more values than its object
// table can honestly hold; they never recurse further than that depth.
#include <optional>

#include "Foundation/PropertyList.hpp"

namespace PropertyListFormats {
std::optional<PropertyListValue> readBinary(const Data& bytes);
Data writeBinary(const PropertyListValue& value);

std::optional<PropertyListValue> readXML(const Data& bytes);
Data writeXML(const PropertyListValue& value);

/// Whether the bytes start with the binary format's magic.
bool isBinary(const Data& bytes);
}  // namespace PropertyListFormats
