#include "ZuzeDiv/AnyCodable.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

#include "Foundation/Date.hpp"
#include "Foundation/NSNull.hpp"
#include "Foundation/NSNumber.hpp"
#include "Foundation/URL.hpp"

namespace ZuzeDiv {

namespace {
std::string describe(const std::string& text, const CodingPath& path) {
    if (path.empty()) return text;
    std::string where;
    for (const auto& key : path) where += (where.empty() ? "" : ".") + key.stringValue;
    return text + " (at " + where + ")";
}
}  // namespace

EncodingError::EncodingError(Kind kind, std::any value, CodingContext context)
    : std::runtime_error(describe(context.debugDescription, context.codingPath)),
      kind_(kind),
      value_(std::move(value)),
      context_(std::move(context)) {}

DecodingError::DecodingError(Kind kind, CodingContext context)
    : std::runtime_error(describe(context.debugDescription, context.codingPath)), kind_(kind), context_(std::move(context)) {}

namespace {

// Decoding: each kind is tried in turn, and a try that does not fit answers nothing.

std::optional<std::int64_t> signedInteger(const CodingContainer& value) {
    if (value.is_number_unsigned()) {
        auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (value.is_number_float()) {
        // A whole number written with a fraction or an exponent reads as an integer too.
        double number = value.get<double>();
        if (std::trunc(number) == number && number >= -9223372036854775808.0 && number < 9223372036854775808.0) {
            return static_cast<std::int64_t>(number);
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> unsignedInteger(const CodingContainer& value) {
    if (value.is_number_unsigned()) return value.get<std::uint64_t>();
    if (value.is_number_float()) {
        double number = value.get<double>();
        if (std::trunc(number) == number && number >= 0 && number < 18446744073709551616.0) {
            return static_cast<std::uint64_t>(number);
        }
    }
    return std::nullopt;
}

/// Reads one value and everything inside it. A collection with an element that cannot be read
/// fails as a whole, and so does the value asked for: every failure is reported at its path.
class Decoder {
public:
    explicit Decoder(const CodingPath& codingPath) : codingPath_(codingPath) {}

    /// `depth` counts the arrays and dictionaries around the value.
    std::any decode(const CodingContainer& container, std::size_t depth = 0) const {
        if (container.is_null()) return NSNull{};
        if (container.is_boolean()) return container.get<bool>();
        if (auto number = signedInteger(container)) return *number;
        if (auto number = unsignedInteger(container)) return *number;
        if (container.is_number()) return container.get<double>();
        if (container.is_string()) return container.get<std::string>();
        if (!container.is_array() && !container.is_object()) fail();
        if (depth == maximumNestingDepth) {
            fail(std::make_exception_ptr(std::length_error("the value nests more than " + std::to_string(maximumNestingDepth) +
                                                           " arrays and dictionaries")));
        }
        if (container.is_array()) {
            std::vector<std::any> array;
            array.reserve(container.size());
            for (const auto& element : container) array.push_back(decode(element, depth + 1));
            return array;
        }
        std::map<std::string, std::any> dictionary;
        for (const auto& [key, element] : container.items()) dictionary.emplace(key, decode(element, depth + 1));
        return dictionary;
    }

private:
    // Every failure is the one error of a value that cannot be decoded; what made it so, where
    // something more is to be told, is its underlying error.
    [[noreturn]] void fail(std::exception_ptr underlyingError = nullptr) const {
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            {codingPath_, "AnyDecodable value cannot be decoded", std::move(underlyingError)});
    }

    const CodingPath& codingPath_;
};

// Encoding.

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};
template <class T>
struct IsStringMap : std::false_type {};
template <class T>
struct IsStringMap<std::map<std::string, T>> : std::true_type {};

// A number object's value read as an integer of type T: integers keep their low bits, as a C
// conversion does; floating-point values are cut toward zero and held within T's range.
template <class T>
T integerValue(const NSNumber& number) {
    if (const auto* real = std::get_if<double>(&number.storage())) {
        if (std::isnan(*real)) return T{0};
        if (*real <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
        if (*real >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
        return static_cast<T>(*real);
    }
    return std::visit([](auto integer) { return static_cast<T>(integer); }, number.storage());
}

/// Writes one value and everything inside it. The coding path grows and shrinks as the encoder
/// walks into collections and out again; an error takes a copy of it.
class Encoder {
public:
    explicit Encoder(const CodingPath& codingPath) : codingPath_(codingPath) {}

    /// A held value, by the kind it holds.
    void write(const std::any& value, CodingContainer& container);

    template <class T>
    void write(const T& value, CodingContainer& container) {
        if constexpr (detail::IsOptional<T>::value) {
            if (value) return write(*value, container);
            container = nullptr;
        } else if constexpr (IsVector<T>::value) {
            CodingContainer elements = CodingContainer::array();
            int position = 0;
            for (const typename T::value_type& element : value) {
                codingPath_.push_back(CodingKey::index(position++));
                write(element, elements.emplace_back());
                codingPath_.pop_back();
            }
            container = std::move(elements);
        } else if constexpr (IsStringMap<T>::value) {
            CodingContainer members = CodingContainer::object();
            for (const auto& [key, element] : value) {
                codingPath_.push_back(CodingKey::key(key));
                write(element, members[key]);
                codingPath_.pop_back();
            }
            container = std::move(members);
        } else if constexpr (std::is_same_v<T, NSNumber>) {
            writeNumber(value, container);
        } else if constexpr (std::is_same_v<T, NSNull> || std::is_same_v<T, std::monostate>) {
            container = nullptr;
        } else if constexpr (std::is_same_v<T, float>) {
            writeFloat(value, value, container);
        } else if constexpr (std::is_same_v<T, double>) {
            writeDouble(value, value, container);
        } else if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, std::string>) {
            container = value;
        } else if constexpr (std::is_same_v<T, std::string_view>) {
            container = std::string(value);
        } else if constexpr (std::is_same_v<T, const char*>) {
            if (!value) invalid(value, "AnyEncodable value cannot be encoded");
            container = std::string(value);
        } else if constexpr (std::is_same_v<T, Date>) {
            writeDouble(value.timeIntervalSinceReferenceDate(), value, container);
        } else {
            static_assert(std::is_same_v<T, URL>);
            container = value.absoluteString();
        }
    }

private:
    [[noreturn]] void invalid(std::any value, const std::string& description) const {
        throw EncodingError(EncodingError::Kind::invalidValue, std::move(value), {codingPath_, description});
    }

    void writeDouble(double number, const std::any& value, CodingContainer& container) const {
        if (!std::isfinite(number)) invalid(value, "A number that is not finite cannot be written in JSON");
        container = number;
    }

    // A 32-bit float written with the fewest digits that read back to it (1.1, not 1.100000023841858).
    void writeFloat(float number, const std::any& value, CodingContainer& container) const {
        if (!std::isfinite(number)) invalid(value, "A number that is not finite cannot be written in JSON");
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer - 1, number).ptr;
        *end = '\0';
        container = std::strtod(buffer, nullptr);
    }

    void writeNumber(const NSNumber& number, CodingContainer& container) const {
        switch (number.objCType()[0]) {
            case 'c':
            case 'C':
                // The code is shared by Booleans and 8-bit integers; only a Boolean is written as one.
                if (number.isBoolean()) {
                    container = integerValue<std::int64_t>(number) != 0;
                } else if (number.objCType()[0] == 'c') {
                    container = integerValue<std::int8_t>(number);
                } else {
                    container = integerValue<std::uint8_t>(number);
                }
                return;
            case 's': container = integerValue<std::int16_t>(number); return;
            case 'i':
            case 'l': container = integerValue<std::int32_t>(number); return;
            case 'q': container = integerValue<std::int64_t>(number); return;
            case 'S': container = integerValue<std::uint16_t>(number); return;
            case 'I':
            case 'L': container = integerValue<std::uint32_t>(number); return;
            case 'Q': container = integerValue<std::uint64_t>(number); return;
            case 'f': writeFloat(number.floatValue(), number, container); return;
            case 'd': writeDouble(number.doubleValue(), number, container); return;
            default: invalid(number, "NSNumber cannot be encoded because its type is not handled");
        }
    }

    CodingPath codingPath_;
};

/// The kinds a held value may be, each also optional, in arrays and text-keyed dictionaries of it
/// or of its optional, and in text-keyed dictionaries of arrays of it. The integer types cover
/// every width: the platform's word, 8 to 64 bits.
template <class... Kinds>
struct KindList {};
using ElementKinds = KindList<bool, signed char, short, int, long, long long, unsigned char, unsigned short, unsigned int,
                              unsigned long, unsigned long long, float, double, std::string, std::string_view,
                              const char*, Date, URL, NSNumber, NSNull, std::monostate, std::any,
                              std::vector<std::any>, std::map<std::string, std::any>>;

using HeldWriter = void (*)(Encoder&, const std::any&, CodingContainer&);
using HeldWriters = std::unordered_map<std::type_index, HeldWriter>;

template <class T>
void writeHeld(Encoder& encoder, const std::any& value, CodingContainer& container) {
    encoder.write(*std::any_cast<T>(&value), container);
}

template <class T>
void addShapes(HeldWriters& writers) {
    writers.emplace(typeid(T), &writeHeld<T>);
    writers.emplace(typeid(std::optional<T>), &writeHeld<std::optional<T>>);
    writers.emplace(typeid(std::vector<T>), &writeHeld<std::vector<T>>);
    writers.emplace(typeid(std::vector<std::optional<T>>), &writeHeld<std::vector<std::optional<T>>>);
    writers.emplace(typeid(std::map<std::string, T>), &writeHeld<std::map<std::string, T>>);
    writers.emplace(typeid(std::map<std::string, std::optional<T>>), &writeHeld<std::map<std::string, std::optional<T>>>);
    writers.emplace(typeid(std::map<std::string, std::vector<T>>), &writeHeld<std::map<std::string, std::vector<T>>>);
}

template <class... Kinds>
HeldWriters heldWriters(KindList<Kinds...>) {
    HeldWriters writers;
    (addShapes<Kinds>(writers), ...);
    return writers;
}

void Encoder::write(const std::any& value, CodingContainer& container) {
    if (!value.has_value()) {
        container = nullptr;
        return;
    }
    static const HeldWriters writers = heldWriters(ElementKinds{});
    auto writer = writers.find(value.type());
    if (writer == writers.end()) invalid(value, "AnyEncodable value cannot be encoded");
    writer->second(*this, value, container);
}
}  // namespace

std::any decodeAnyValue(const CodingContainer& container, const CodingPath& codingPath) {
    return Decoder(codingPath).decode(container);
}

void encodeAnyValue(const std::any& value, CodingContainer& container, const CodingPath& codingPath) {
    Encoder(codingPath).write(value, container);
}

}  // namespace ZuzeDiv
