#pragma once
// Values of any supported kind carried through keyed coding as one single value, without a key or
// nesting of their own: null, Booleans, integers of 8 to 64 bits, floating-point numbers, texts,
// dates, URLs, number objects, and arrays and text-keyed dictionaries of such values.
// AnyDecodable only decodes, AnyEncodable only encodes, AnyCodable does both.
//
// The held value is a std::any. An absent value is never held: wrapping an empty std::any, an
// empty std::optional or nullptr holds std::monostate, the unit value that carries nothing; a
// decoded null holds NSNull. Decoding gives plain values: bool, std::int64_t, std::uint64_t,
// double, std::string, std::vector<std::any> and std::map<std::string, std::any>, nested at most
// `maximumNestingDepth` arrays and dictionaries deep. Encoding knows NSNumber (by its type code),
// NSNull and std::monostate (null), bool, the signed and unsigned integer types of 8 to 64 bits,
// float, double, std::string, std::string_view and C strings, Date (seconds since the platform's
// reference date of 2001), URL (its absolute text), std::vector<std::any> and
// std::map<std::string, std::any>; and of each of these also std::optional (absent writes null),
// std::vector and std::map<std::string, ...> of it or of its optional, and std::map<std::string,
// std::vector<...>> of it. Anything else fails to encode.
#include <any>
#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "ZuzeDiv/CodingErrors.hpp"

namespace ZuzeDiv {

/// How many arrays and dictionaries a decoded value may hold inside one another; a document nested
/// deeper fails to decode.
inline constexpr std::size_t maximumNestingDepth = 512;

/// The value read from a single value: NSNull for null, else the first of Boolean, signed 64-bit
/// integer, unsigned 64-bit integer, double, text, array and dictionary that reads it (a whole
/// number written with a fraction reads as an integer). Throws DecodingError for anything else,
/// for a collection with an element that does not decode and for nesting deeper than
/// `maximumNestingDepth` (whose context's underlying error tells the limit), always at
/// `codingPath` and always the one data-corrupted error "AnyDecodable value cannot be decoded".
std::any decodeAnyValue(const CodingContainer& container, const CodingPath& codingPath = {});
/// Writes the value as a single value; throws EncodingError for a value of no known kind or a
/// number JSON cannot hold.
void encodeAnyValue(const std::any& value, CodingContainer& container, const CodingPath& codingPath = {});

namespace detail {
template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

/// Kinds a wrapper takes without being asked explicitly: those that literals make.
template <class T>
constexpr bool isLiteralKind = std::is_arithmetic_v<std::remove_cvref_t<T>> ||
                               std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t> ||
                               std::is_same_v<std::remove_cvref_t<T>, std::string> ||
                               std::is_same_v<std::remove_cvref_t<T>, std::string_view> ||
                               std::is_convertible_v<T, const char*>;

/// What a wrapper holds for a value: absent values become the unit value, texts (views and C
/// strings included) become strings of their own.
template <class T>
std::any wrap(T&& value) {
    using Plain = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<Plain, std::any>) {
        return value.has_value() ? std::any(std::forward<T>(value)) : std::any(std::monostate{});
    } else if constexpr (IsOptional<Plain>::value) {
        return value ? wrap(*std::forward<T>(value)) : std::any(std::monostate{});
    } else if constexpr (std::is_same_v<Plain, std::nullptr_t> || std::is_same_v<Plain, std::nullopt_t>) {
        return std::monostate{};
    } else if constexpr (std::is_same_v<Plain, std::string_view>) {
        return std::string(value);
    } else if constexpr (std::is_same_v<Plain, char>) {
        return std::string(1, value);
    } else if constexpr (std::is_convertible_v<T, const char*> && !std::is_same_v<Plain, std::string>) {
        const char* text = value;
        return text ? std::any(std::string(text)) : std::any(std::monostate{});
    } else {
        return std::any(std::forward<T>(value));
    }
}

/// The wrappers' values as an array.
template <class Wrapper>
std::any arrayOf(std::initializer_list<Wrapper> elements) {
    std::vector<std::any> array;
    array.reserve(elements.size());
    for (const auto& element : elements) array.push_back(element.value());
    return array;
}

/// The wrappers' values as a dictionary; the first value given for a key wins, later ones are
/// dropped.
template <class Wrapper>
std::any dictionaryOf(std::initializer_list<std::pair<std::string, Wrapper>> entries) {
    std::map<std::string, std::any> dictionary;
    for (const auto& [key, element] : entries) dictionary.emplace(key, element.value());
    return dictionary;
}
}  // namespace detail

/// Decoding shared by the wrappers that decode.
template <class Self>
class AnyDecodableBase {
public:
    /// Decodes the value from a single value of keyed coding.
    static Self decode(const CodingContainer& container, const CodingPath& codingPath = {}) {
        return Self(decodeAnyValue(container, codingPath));
    }
};

/// Encoding shared by the wrappers that encode.
template <class Self>
class AnyEncodableBase {
public:
    /// Encodes the value as a single value of keyed coding.
    void encode(CodingContainer& container, const CodingPath& codingPath = {}) const {
        encodeAnyValue(static_cast<const Self&>(*this).value(), container, codingPath);
    }
};

class AnyCodable : public AnyDecodableBase<AnyCodable>, public AnyEncodableBase<AnyCodable> {
public:
    template <class T>
        requires(!std::same_as<std::remove_cvref_t<T>, AnyCodable>)
    explicit(!detail::isLiteralKind<T>) AnyCodable(T&& value) : value_(detail::wrap(std::forward<T>(value))) {}

    /// An array of the elements' values.
    static AnyCodable array(std::initializer_list<AnyCodable> elements) { return AnyCodable(detail::arrayOf(elements)); }
    /// A dictionary of the values; the first value given for a key wins.
    static AnyCodable dictionary(std::initializer_list<std::pair<std::string, AnyCodable>> entries) {
        return AnyCodable(detail::dictionaryOf(entries));
    }

    const std::any& value() const { return value_; }

private:
    std::any value_;
};

class AnyDecodable : public AnyDecodableBase<AnyDecodable> {
public:
    template <class T>
        requires(!std::same_as<std::remove_cvref_t<T>, AnyDecodable>)
    explicit AnyDecodable(T&& value) : value_(detail::wrap(std::forward<T>(value))) {}

    const std::any& value() const { return value_; }

private:
    std::any value_;
};

class AnyEncodable : public AnyEncodableBase<AnyEncodable> {
public:
    template <class T>
        requires(!std::same_as<std::remove_cvref_t<T>, AnyEncodable>)
    explicit(!detail::isLiteralKind<T>) AnyEncodable(T&& value) : value_(detail::wrap(std::forward<T>(value))) {}

    static AnyEncodable array(std::initializer_list<AnyEncodable> elements) {
        return AnyEncodable(detail::arrayOf(elements));
    }
    static AnyEncodable dictionary(std::initializer_list<std::pair<std::string, AnyEncodable>> entries) {
        return AnyEncodable(detail::dictionaryOf(entries));
    }

    const std::any& value() const { return value_; }

private:
    std::any value_;
};

}  // namespace ZuzeDiv
