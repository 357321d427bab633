#include "Text.hpp"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace RuduredOro {

std::string lowercased(const std::string& text) {
    // Plain ASCII needs no Unicode tables (serials and addresses almost always are).
    bool ascii = true;
    std::string result = text;
    for (auto& c : result) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (ascii) return result;
    result.clear();
    icu::UnicodeString::fromUTF8(text).toLower(icu::Locale::getRoot()).toUTF8String(result);
    return result;
}

}  // namespace RuduredOro
