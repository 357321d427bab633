// The XML property-list format: a <plist> element around one value, each kind of value its own
// element (dict of key and value pairs, array, string, integer, real, true, false, date, data).
// Dates are whole seconds in UTC ("2001-01-01T00:00:00Z"); data is Base64. Comments, processing
// instructions, the document type, CDATA sections and character references are understood; a
// document that leaves this shape is refused. A document in UTF-16 (told by its byte-order mark
// or its first character) or in the encoding its declaration names is read through ICU's
// converters; the writer writes UTF-8.
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

#include "PropertyListFormats.hpp"

namespace {
constexpr std::string_view header =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr std::string_view base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int64_t secondsPerDay = 86400;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

void appendUTF8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A run of decimal digits, all of the text.
std::optional<long long> digits(std::string_view text) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || !isDigit(text.front()) || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<PropertyListValue> integerFrom(std::string_view text) {
    // Negative numbers are signed; positive ones may use the whole unsigned range.
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (negative || text.front() == '+')) text.remove_prefix(1);
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!negative) return PropertyListValue(magnitude);
    if (magnitude > std::uint64_t{1} << 63) return std::nullopt;
    return PropertyListValue(static_cast<std::int64_t>(~magnitude + 1));
}

// Of a decimal number too large or too small for a double, whether it is too large: the power of
// ten of its first significant digit is positive.
bool beyondLargest(std::string_view number) {
    const auto mark = number.find_first_of("eE");
    long long exponent = 0;
    if (mark != std::string_view::npos) {
        auto digits = number.substr(mark + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (negative || digits.front() == '+')) digits.remove_prefix(1);
        // An exponent too long to read is far beyond either end.
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc()) return !negative;
        if (negative) exponent = -exponent;
        number = number.substr(0, mark);
    }
    const auto point = std::min(number.find('.'), number.size());
    const auto first = number.find_first_of("123456789");
    if (first == std::string_view::npos) return false;
    const long long place = first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
    return exponent + place > 0;
}

std::optional<double> realFrom(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "+infinity" || lower == "infinity" || lower == "+inf" || lower == "inf") return HUGE_VAL;
    if (lower == "-infinity" || lower == "-inf") return -HUGE_VAL;
    if (!lower.empty() && lower.front() == '+') lower.erase(0, 1);
    double value = 0;
    auto [end, error] = std::from_chars(lower.data(), lower.data() + lower.size(), value);
    if (lower.empty() || end != lower.data() + lower.size()) return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // As the platform reads it: beyond the largest double is infinity, below the smallest 0.
        const bool negative = lower.front() == '-';
        const double magnitude = beyondLargest(lower) ? HUGE_VAL : 0.0;
        return negative ? -magnitude : magnitude;
    }
    if (error != std::errc()) return std::nullopt;
    return value;
}

// "YYYY-MM-DDTHH:MM:SSZ": the year of four digits or more and perhaps negative, the seconds
// perhaps with a fraction.
std::optional<Date> dateFrom(std::string_view text) {
    const bool before = !text.empty() && text.front() == '-';
    if (before) text.remove_prefix(1);
    const auto dash = text.find('-');
    if (dash == std::string_view::npos || dash < 4) return std::nullopt;
    auto year = digits(text.substr(0, dash));
    text.remove_prefix(dash + 1);
    if (!year || *year > 32767 || text.size() < 15 || text[2] != '-' || text[5] != 'T' || text[8] != ':' || text[11] != ':')
        return std::nullopt;
    auto month = digits(text.substr(0, 2)), day = digits(text.substr(3, 2));
    auto hour = digits(text.substr(6, 2)), minute = digits(text.substr(9, 2)), second = digits(text.substr(12, 2));
    text.remove_prefix(14);
    double fraction = 0;
    if (!text.empty() && text.front() == '.') {
        auto digitsEnd = text.find_first_not_of("0123456789", 1);
        if (digitsEnd == 1 || digitsEnd == std::string_view::npos) return std::nullopt;
        fraction = *realFrom(std::string("0") + std::string(text.substr(0, digitsEnd)));
        text.remove_prefix(digitsEnd);
    }
    if (text != "Z" || !month || !day || !hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    const std::chrono::year_month_day civil{std::chrono::year(static_cast<int>(before ? -*year : *year)),
                                            std::chrono::month(static_cast<unsigned>(*month)),
                                            std::chrono::day(static_cast<unsigned>(*day))};
    if (!civil.ok()) return std::nullopt;
    const auto days = std::chrono::sys_days(civil).time_since_epoch().count();
    return Date(static_cast<double>(days * secondsPerDay + *hour * 3600 + *minute * 60 + *second) + fraction);
}

std::string dateText(const Date& date) {
    // Whole seconds, kept within the years -9999 to 9999.
    using namespace std::chrono;
    constexpr auto first = sys_days(year(-9999) / January / 1).time_since_epoch().count() * secondsPerDay;
    constexpr auto last = sys_days(year(9999) / December / 31).time_since_epoch().count() * secondsPerDay + secondsPerDay - 1;
    double seconds = std::floor(date.timeIntervalSince1970());
    if (std::isnan(seconds)) seconds = 0;
    const auto whole = static_cast<std::int64_t>(std::clamp(seconds, double(first), double(last)));
    const auto dayCount = whole / secondsPerDay - (whole % secondsPerDay < 0 ? 1 : 0);
    const auto inDay = whole - dayCount * secondsPerDay;
    const year_month_day civil{sys_days(days(dayCount))};
    char text[48];
    const int calendarYear = static_cast<int>(civil.year());
    std::snprintf(text, sizeof text, "%s%04d-%02u-%02uT%02d:%02d:%02dZ", calendarYear < 0 ? "-" : "", std::abs(calendarYear),
                  static_cast<unsigned>(civil.month()), static_cast<unsigned>(civil.day()), static_cast<int>(inDay / 3600),
                  static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
    return text;
}

std::optional<Data> base64Decoded(std::string_view text) {
    Data out;
    std::uint32_t group = 0;
    int bits = 0;
    bool padded = false;
    for (char c : text) {
        if (isBlank(c)) continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        const auto index = base64Alphabet.find(c);
        if (index == std::string_view::npos || padded) return std::nullopt;
        group = (group << 6) | static_cast<std::uint32_t>(index);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>(group >> bits));
            group &= (1u << bits) - 1;
        }
    }
    return out;
}

std::string base64Encoded(const Data& data) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, data.size() - i);
        std::uint32_t group = std::uint32_t{data[i]} << 16;
        if (n > 1) group |= std::uint32_t{data[i + 1]} << 8;
        if (n > 2) group |= data[i + 2];
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? base64Alphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

// The encoding named by the declaration that opens a document ("<?xml ... encoding="..."?>");
// empty when there is none.
std::string declaredEncoding(const Data& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), std::min<std::size_t>(bytes.size(), 256));
    if (!text.starts_with("<?xml")) return {};
    const auto declaration = text.substr(0, text.find("?>"));
    auto at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at = declaration.find_first_not_of(" \t\r\n", at + 8);
    if (at == std::string_view::npos || declaration[at] != '=') return {};
    at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const auto close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos) return {};
    return std::string(declaration.substr(at + 1, close - at - 1));
}

// The document in UTF-8: the bytes themselves when they are UTF-8 already, else `converted`,
// which holds them converted from UTF-16 (told by its byte-order mark or by a first '<' of two
// bytes) or from the encoding the declaration names. Nothing for an encoding ICU does not know or
// bytes that are not of their encoding.
const Data* inUTF8(const Data& bytes, Data& converted) {
    auto startsWith = [&](std::initializer_list<std::uint8_t> prefix) {
        return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
    };
    std::string encoding;
    std::size_t skip = 0;
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        return &bytes;
    } else if (startsWith({0xFE, 0xFF}) || startsWith({0x00, '<'})) {
        encoding = "UTF-16BE";
        skip = startsWith({0xFE, 0xFF}) ? 2 : 0;
    } else if (startsWith({0xFF, 0xFE}) || startsWith({'<', 0x00})) {
        encoding = "UTF-16LE";
        skip = startsWith({0xFF, 0xFE}) ? 2 : 0;
    } else {
        encoding = declaredEncoding(bytes);
        std::string name = encoding;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (name.empty() || name == "UTF-8" || name == "UTF8") return &bytes;
    }
    // ICU counts in 32 bits.
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(encoding.c_str(), &status), ucnv_close);
    if (U_FAILURE(status)) return nullptr;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    const auto* source = reinterpret_cast<const char*>(bytes.data()) + skip;
    const auto length = static_cast<std::int32_t>(bytes.size() - skip);
    std::u16string units(static_cast<std::size_t>(length) * 2 + 1, u'\0');
    const auto count = ucnv_toUChars(converter.get(), units.data(), static_cast<std::int32_t>(units.size()), source, length, &status);
    if (U_FAILURE(status)) return nullptr;
    std::int32_t size = 0;
    u_strToUTF8(nullptr, 0, &size, units.data(), count, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return nullptr;
    converted.assign(static_cast<std::size_t>(size), 0);
    status = U_ZERO_ERROR;
    u_strToUTF8(reinterpret_cast<char*>(converted.data()), size, nullptr, units.data(), count, &status);
    if (U_FAILURE(status)) return nullptr;
    return &converted;
}

class Reader {
public:
    explicit Reader(const Data& bytes)
        : at_(reinterpret_cast<const char*>(bytes.data())), end_(at_ + bytes.size()) {}

    std::optional<PropertyListValue> read() {
        if (startsWith("\xEF\xBB\xBF")) at_ += 3;
        Tag tag;
        PropertyListValue value;
        if (!misc() || !startTag(tag)) return std::nullopt;
        if (tag.name == "plist") {
            Tag inner;
            if (tag.empty || !misc() || !startTag(inner) || !element(inner, 0, value) || !misc() || !endTag("plist"))
                return std::nullopt;
        } else if (!element(tag, 0, value)) {
            return std::nullopt;
        }
        if (!misc() || at_ != end_) return std::nullopt;
        return value;
    }

private:
    struct Tag {
        std::string_view name;
        bool empty = false;
    };

    bool startsWith(std::string_view text) const {
        return static_cast<std::size_t>(end_ - at_) >= text.size() && std::string_view(at_, text.size()) == text;
    }

    bool skipPast(std::string_view text) {
        auto found = std::search(at_, end_, text.begin(), text.end());
        if (found == end_) return false;
        at_ = found + text.size();
        return true;
    }

    // Blanks, comments, processing instructions and the document type between elements.
    bool misc() {
        for (;;) {
            while (at_ != end_ && isBlank(*at_)) ++at_;
            if (startsWith("<?")) {
                if (!skipPast("?>")) return false;
            } else if (startsWith("<!--")) {
                if (!skipPast("-->")) return false;
            } else if (startsWith("<!DOCTYPE")) {
                int brackets = 0;
                for (; at_ != end_ && (*at_ != '>' || brackets > 0); ++at_) brackets += *at_ == '[' ? 1 : *at_ == ']' ? -1 : 0;
                if (at_ == end_) return false;
                ++at_;
            } else {
                return true;
            }
        }
    }

    bool startTag(Tag& tag) {
        if (at_ == end_ || *at_ != '<') return false;
        const char* name = ++at_;
        while (at_ != end_ && (std::isalnum(static_cast<unsigned char>(*at_)) || *at_ == '_' || *at_ == '-' || *at_ == ':' || *at_ == '.'))
            ++at_;
        tag.name = std::string_view(name, static_cast<std::size_t>(at_ - name));
        if (tag.name.empty()) return false;
        // Attributes are passed over; quoted values may hold '>' and '/'.
        for (char quote = 0; at_ != end_; ++at_) {
            if (quote) {
                quote = *at_ == quote ? 0 : quote;
            } else if (*at_ == '"' || *at_ == '\'') {
                quote = *at_;
            } else if (*at_ == '>') {
                tag.empty = at_[-1] == '/';
                ++at_;
                return true;
            }
        }
        return false;
    }

    bool endTag(std::string_view name) {
        if (!startsWith("</")) return false;
        at_ += 2;
        if (!startsWith(name)) return false;
        at_ += name.size();
        while (at_ != end_ && isBlank(*at_)) ++at_;
        if (at_ == end_ || *at_ != '>') return false;
        ++at_;
        return true;
    }

    // The text of an element up to its end tag, with references resolved.
    std::optional<std::string> content(const Tag& tag) {
        std::string text;
        if (tag.empty) return text;
        while (at_ != end_) {
            if (*at_ == '&') {
                if (!reference(text)) return std::nullopt;
            } else if (*at_ != '<') {
                text += *at_++;
            } else if (startsWith("<![CDATA[")) {
                const char* start = at_ + 9;
                at_ = start;
                if (!skipPast("]]>")) return std::nullopt;
                text.append(start, at_ - 3);
            } else if (startsWith("<!--")) {
                if (!skipPast("-->")) return std::nullopt;
            } else {
                if (!endTag(tag.name)) return std::nullopt;
                return text;
            }
        }
        return std::nullopt;
    }

    bool reference(std::string& text) {
        const char* start = ++at_;
        while (at_ != end_ && *at_ != ';' && at_ - start < 12) ++at_;
        if (at_ == end_ || *at_ != ';') return false;
        const std::string_view name(start, static_cast<std::size_t>(at_ - start));
        ++at_;
        static constexpr std::pair<std::string_view, char> named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        for (const auto& [entity, c] : named) {
            if (name == entity) {
                text += c;
                return true;
            }
        }
        if (name.size() < 2 || name.front() != '#') return false;
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const auto number = name.substr(hex ? 2 : 1);
        std::uint32_t code = 0;
        auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), code, hex ? 16 : 10);
        if (number.empty() || error != std::errc() || end != number.data() + number.size()) return false;
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        appendUTF8(text, code);
        return true;
    }

    bool element(const Tag& tag, int depth, PropertyListValue& out) {
        if (tag.name == "dict" || tag.name == "array") return container(tag, depth + 1, out);
        auto text = content(tag);
        if (!text) return false;
        if (tag.name == "string") {
            out = PropertyListValue(std::move(*text));
        } else if (tag.name == "true" || tag.name == "false") {
            if (!trimmed(*text).empty()) return false;
            out = PropertyListValue(tag.name == "true");
        } else if (tag.name == "integer") {
            auto value = integerFrom(trimmed(*text));
            if (!value) return false;
            out = std::move(*value);
        } else if (tag.name == "real") {
            auto value = realFrom(trimmed(*text));
            if (!value) return false;
            out = PropertyListValue(*value);
        } else if (tag.name == "date") {
            auto value = dateFrom(trimmed(*text));
            if (!value) return false;
            out = PropertyListValue(*value);
        } else if (tag.name == "data") {
            auto value = base64Decoded(*text);
            if (!value) return false;
            out = PropertyListValue(std::move(*value));
        } else {
            return false;
        }
        return true;
    }

    bool container(const Tag& tag, int depth, PropertyListValue& out) {
        if (depth > PropertyListSerialization::maximumDepth) return false;
        const bool isArray = tag.name == "array";
        PropertyListValue::Array items;
        PropertyListValue::Dictionary entries;
        if (!tag.empty) {
            for (;;) {
                if (!misc()) return false;
                if (startsWith("</")) {
                    if (!endTag(tag.name)) return false;
                    break;
                }
                Tag child;
                if (!startTag(child)) return false;
                std::optional<std::string> key;
                if (!isArray) {
                    if (child.name != "key" || !(key = content(child)) || !misc() || !startTag(child)) return false;
                }
                PropertyListValue value;
                if (!element(child, depth, value)) return false;
                if (isArray) {
                    items.push_back(std::move(value));
                } else {
                    entries.insert_or_assign(std::move(*key), std::move(value));
                }
            }
        }
        out = isArray ? PropertyListValue(std::move(items)) : PropertyListValue(std::move(entries));
        return true;
    }

    const char* at_;
    const char* end_;
};

// Whether XML 1.0 can hold the character, as it is or as a reference.
bool isXMLCharacter(UChar32 c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

class Writer {
public:
    std::optional<Data> write(const PropertyListValue& value) {
        out_ = header;
        element(value, 0);
        out_ += "</plist>\n";
        if (!writable_) return std::nullopt;
        return dataFromString(out_);
    }

private:
    void indent(int depth) { out_.append(static_cast<std::size_t>(depth), '\t'); }

    // Markup characters become references; a carriage return too, which a reader would turn into
    // a line feed. A text with a character XML cannot hold (the other control characters) or with
    // bytes that are no UTF-8 makes the list unwritable.
    void text(std::string_view text) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        const auto length = static_cast<std::int32_t>(text.size());
        for (std::int32_t i = 0; i < length;) {
            const auto start = i;
            UChar32 c = 0;
            U8_NEXT(bytes, i, length, c);
            if (c < 0 || !isXMLCharacter(c)) {
                writable_ = false;
                return;
            }
            if (c == '&') {
                out_ += "&amp;";
            } else if (c == '<') {
                out_ += "&lt;";
            } else if (c == '>') {
                out_ += "&gt;";
            } else if (c == '\r') {
                out_ += "&#13;";
            } else {
                out_.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
            }
        }
    }

    void simple(std::string_view name, std::string_view content, int depth) {
        indent(depth);
        out_ += "<";
        out_ += name;
        out_ += ">";
        text(content);
        out_ += "</";
        out_ += name;
        out_ += ">\n";
    }

    void element(const PropertyListValue& value, int depth) {
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    simple("string", "", depth);
                } else if constexpr (std::is_same_v<T, bool>) {
                    indent(depth);
                    out_ += v ? "<true/>\n" : "<false/>\n";
                } else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, std::uint64_t>) {
                    simple("integer", std::to_string(v), depth);
                } else if constexpr (std::is_same_v<T, double>) {
                    simple("real", realText(v), depth);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    simple("string", v, depth);
                } else if constexpr (std::is_same_v<T, Data>) {
                    simple("data", base64Encoded(v), depth);
                } else if constexpr (std::is_same_v<T, Date>) {
                    simple("date", dateText(v), depth);
                } else if constexpr (std::is_same_v<T, PropertyListValue::Array>) {
                    indent(depth);
                    if (v.empty()) {
                        out_ += "<array/>\n";
                        return;
                    }
                    out_ += "<array>\n";
                    for (const auto& item : v) element(item, depth + 1);
                    indent(depth);
                    out_ += "</array>\n";
                } else {
                    indent(depth);
                    if (v.empty()) {
                        out_ += "<dict/>\n";
                        return;
                    }
                    out_ += "<dict>\n";
                    for (const auto& [key, item] : v) {
                        simple("key", key, depth + 1);
                        element(item, depth + 1);
                    }
                    indent(depth);
                    out_ += "</dict>\n";
                }
            },
            value.storage());
    }

    // The shortest text that reads back as the same number.
    static std::string realText(double value) {
        if (std::isnan(value)) return "nan";
        if (std::isinf(value)) return value > 0 ? "+infinity" : "-infinity";
        char buffer[32];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        (void)error;
        return std::string(buffer, end);
    }

    std::string out_;
    bool writable_ = true;
};
}  // namespace

namespace PropertyListFormats {

std::optional<PropertyListValue> readXML(const Data& bytes) {
    Data converted;
    const Data* text = inUTF8(bytes, converted);
    if (!text) return std::nullopt;
    return Reader(*text).read();
}

std::optional<Data> writeXML(const PropertyListValue& value) { return Writer().write(value); }

}  // namespace PropertyListFormats
