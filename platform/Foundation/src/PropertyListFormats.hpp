#pragma once
// The two property-list formats, read and written without outside help: the binary format
// ("bplist00") and the XML format. Readers refuse anything damaged, deeper than
// PropertyListSerialization::maximumDepth, or (binary) expanding to more memory than
// PropertyListSerialization::maximumExpansion allows; they never recurse further than that depth.
#include <optional>

#include "Foundation/PropertyList.hpp"

namespace PropertyListFormats {
std::optional<PropertyListValue> readBinary(const Data& bytes);
Data writeBinary(const PropertyListValue& value);

std::optional<PropertyListValue> readXML(const Data& bytes);
/// Absent when a text is no UTF-8 or holds a character XML 1.0 cannot hold.
std::optional<Data> writeXML(const PropertyListValue& value);

/// Whether the bytes start with the binary format's magic.
bool isBinary(const Data& bytes);
}  // namespace PropertyListFormats
