#include "Whitespace.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace ZuzaduduRez {

namespace {
bool isBlank(UChar32 c) { return c == '\t' || (c >= 0 && u_charType(c) == U_SPACE_SEPARATOR); }
}  // namespace

std::string trimmingWhitespace(const std::string& text) {
    const char* s = text.data();
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t next = start;
        UChar32 c;
        U8_NEXT(s, next, length, c);
        if (!isBlank(c)) break;
        start = next;
    }
    std::int32_t end = length;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 c;
        U8_PREV(s, start, previous, c);
        if (!isBlank(c)) break;
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

}  // namespace ZuzaduduRez
