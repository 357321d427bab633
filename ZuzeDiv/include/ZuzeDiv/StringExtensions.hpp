#pragma once
// Text helpers. Offsets and lengths count characters as a reader sees them (grapheme clusters):
// "é" written as e and a combining accent is one character.
#include <cstdint>
#include <optional>
#include <string>

namespace ZuzeDiv {

/// The shared empty text, the "no value" text of the modules.
const std::string& emptyString();

/// True for an absent text and for a text of no characters; a text of blanks is not empty.
inline bool isNilOrEmpty(const std::optional<std::string>& text) { return !text || text->empty(); }

/// The number of characters.
std::size_t characterCount(const std::string& text);
/// The characters from `offset` up to `offset + length`; throws std::out_of_range unless
/// 0 <= offset <= offset + length <= the character count.
std::string substring(const std::string& text, int offset, int length);
/// The characters from `from` (0 when below 1) up to `to`, limited to the character count;
/// throws std::out_of_range when the start lies beyond the end.
std::string substringFromTo(const std::string& text, int from, int to);
/// The first n characters when the text is longer than n, else the text itself.
std::string prefixUpTo(const std::string& text, int n);
/// The text without its last five characters; throws std::out_of_range when it has fewer.
std::string droppingLastFive(const std::string& text);
/// The text's Mac OS Roman bytes folded into one number, first byte most significant ("ABCD" is
/// 0x41424344); 0 for an empty text or one that Mac OS Roman cannot hold.
std::uint64_t fourCharCode(const std::string& text);
/// The text read as a Float in the C locale; absent unless the whole text is one number (a
/// leading blank included).
std::optional<float> floatValue(const std::string& text);
/// The last component of the text read as a path ("/" for the root, "" for an empty text).
std::string lastPathComponent(const std::string& text);
/// A new random UUID in its 36-character text form.
std::string uuidString();

struct StringConstants {
    StringConstants() = delete;
    /// U+2022.
    static const std::string bullet;
    static const std::string dash;
    static const std::string newline;
    static const std::string twoSpaces;
    static const std::string fourSpaces;
    static const std::string& empty() { return emptyString(); }
};

}  // namespace ZuzeDiv
