#include "ZuzeDiv/StringExtensions.hpp"

#include <iconv.h>
#include <locale.h>
#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Foundation/URL.hpp"
#include "Foundation/UUID.hpp"

namespace ZuzeDiv {

const std::string StringConstants::bullet = "\u2022";
const std::string StringConstants::dash = "-";
const std::string StringConstants::newline = "\n";
const std::string StringConstants::twoSpaces = "  ";
const std::string StringConstants::fourSpaces = "    ";

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

namespace {
// The byte offsets at which characters start, plus the text's length at the end.
std::vector<std::size_t> characterBoundaries(const std::string& text) {
    std::vector<std::size_t> bounds{0};
    if (text.empty()) return bounds;
    UErrorCode status = U_ZERO_ERROR;
    UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<icu::BreakIterator> iterator(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !iterator) {
        utext_close(utext);
        throw std::runtime_error("no character boundaries for a text");
    }
    iterator->setText(utext, status);
    for (int32_t b = iterator->next(); b != icu::BreakIterator::DONE; b = iterator->next()) bounds.push_back(static_cast<std::size_t>(b));
    iterator.reset();
    utext_close(utext);
    if (bounds.back() != text.size()) bounds.push_back(text.size());
    return bounds;
}

std::string characters(const std::string& text, const std::vector<std::size_t>& bounds, std::size_t from, std::size_t to) {
    return text.substr(bounds[from], bounds[to] - bounds[from]);
}
}  // namespace

std::size_t characterCount(const std::string& text) { return characterBoundaries(text).size() - 1; }

std::string substring(const std::string& text, int offset, int length) {
    auto bounds = characterBoundaries(text);
    const auto count = static_cast<long long>(bounds.size() - 1);
    if (offset < 0 || length < 0 || static_cast<long long>(offset) + length > count)
        throw std::out_of_range("substring outside the text");
    return characters(text, bounds, static_cast<std::size_t>(offset), static_cast<std::size_t>(offset + length));
}

std::string substringFromTo(const std::string& text, int from, int to) {
    auto bounds = characterBoundaries(text);
    const auto count = static_cast<long long>(bounds.size() - 1);
    const long long start = from < 1 ? 0 : from;
    const long long end = std::min<long long>(to, count);
    if (start > end) throw std::out_of_range("substring start beyond its end");
    return characters(text, bounds, static_cast<std::size_t>(start), static_cast<std::size_t>(end));
}

std::string prefixUpTo(const std::string& text, int n) {
    auto bounds = characterBoundaries(text);
    if (n < 0) throw std::out_of_range("negative prefix length");
    if (bounds.size() - 1 > static_cast<std::size_t>(n)) return characters(text, bounds, 0, static_cast<std::size_t>(n));
    return text;
}

std::string droppingLastFive(const std::string& text) {
    auto bounds = characterBoundaries(text);
    if (bounds.size() - 1 < 5) throw std::out_of_range("fewer than five characters to drop");
    return characters(text, bounds, 0, bounds.size() - 1 - 5);
}

std::uint64_t fourCharCode(const std::string& text) {
    if (text.empty()) return 0;
    iconv_t converter = ::iconv_open("MACINTOSH", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    std::string input = text;
    std::vector<char> output(text.size() + 1);
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size(), outLeft = output.size();
    const std::size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) return 0;
    std::uint64_t code = 0;
    for (char* p = output.data(); p < out; ++p) code = (code << 8) | static_cast<unsigned char>(*p);
    return code;
}

std::optional<float> floatValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    const float value = ::strtof_l(text.c_str(), &end, cLocale);
    // Leading white space is something the conversion skips but a number does not start with.
    if (end != text.c_str() + text.size() || std::isspace(static_cast<unsigned char>(text.front()))) return std::nullopt;
    return value;
}

std::string lastPathComponent(const std::string& text) { return ::lastPathComponent(text); }

std::string uuidString() { return UUID().uuidString(); }

}  // namespace ZuzeDiv
