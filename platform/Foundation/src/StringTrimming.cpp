#include "Foundation/StringTrimming.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace {
bool belongs(UChar32 c, CharacterSet set) {
    if (c < 0) return false;  // a malformed byte is kept
    if (set == CharacterSet::whitespaces) return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR;
    return u_isUWhiteSpace(c);
}
}  // namespace

std::string trimmingCharacters(const std::string& text, CharacterSet set) {
    const char* s = text.data();
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t next = start;
        UChar32 c;
        U8_NEXT(s, next, length, c);
        if (!belongs(c, set)) break;
        start = next;
    }
    std::int32_t end = length;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 c;
        U8_PREV(s, start, previous, c);
        if (!belongs(c, set)) break;
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}
