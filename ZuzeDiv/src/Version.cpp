#include "ZuzeDiv/Version.hpp"

#include "Foundation/StringCompare.hpp"

namespace ZuzeDiv {

bool Version::operator==(const Version& other) const {
    return compareNumeric(string_, other.string_) == ComparisonResult::orderedSame;
}
bool Version::operator<(const Version& other) const {
    return compareNumeric(string_, other.string_) == ComparisonResult::orderedAscending;
}
bool Version::operator>(const Version& other) const {
    return compareNumeric(string_, other.string_) == ComparisonResult::orderedDescending;
}

}  // namespace ZuzeDiv
