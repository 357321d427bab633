#include "ZuzeDiv/AnyCodable.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <typeinfo>

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
CodingPath appending(const CodingPath& path, CodingKey key) {
    CodingPath longer = path;
    longer.push_back(std::move(key));
    return longer;
}

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

// Encoding.

[[noreturn]] void invalid(const std::any& value, const CodingPath& path, const std::string& description) {
    throw EncodingError(EncodingError::Kind::invalidValue, value, {path, description});
}

void encodeFloating(double number, const std::any& value, CodingContainer& container, const CodingPath& path) {
    if (!std::isfinite(number)) invalid(value, path, "A number that is not finite cannot be written in JSON");
    container = number;
}

// A 32-bit float written with the fewest digits that read back to it (1.1, not 1.100000023841858).
void encodeFloat(float number, const std::any& value, CodingContainer& container, const CodingPath& path) {
    if (!std::isfinite(number)) invalid(value, path, "A number that is not finite cannot be written in JSON");
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer - 1, number).ptr;
    *end = '\0';
    container = std::strtod(buffer, nullptr);
}

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

void encodeNumber(const NSNumber& number, const std::any& value, CodingContainer& container, const CodingPath& path) {
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
        case 'f': encodeFloat(number.floatValue(), value, container, path); return;
        case 'd': encodeFloating(number.doubleValue(), value, container, path); return;
        default: invalid(value, path, "NSNumber cannot be encoded because its type is not handled");
    }
}

template <class T>
const T* as(const std::any& value) {
    return std::any_cast<T>(&value);
}

template <class... Integers>
bool encodeIntegerOf(const std::any& value, CodingContainer& container) {
    return ((as<Integers>(value) ? (container = *as<Integers>(value), true) : false) || ...);
}
}  // namespace

std::any decodeAnyValue(const CodingContainer& container, const CodingPath& codingPath) {
    if (container.is_null()) return NSNull{};
    if (container.is_boolean()) return container.get<bool>();
    if (auto number = signedInteger(container)) return *number;
    if (auto number = unsignedInteger(container)) return *number;
    if (container.is_number()) return container.get<double>();
    if (container.is_string()) return container.get<std::string>();
    // A collection with an element that cannot be read fails as a whole, here, at this value.
    if (container.is_array()) {
        try {
            std::vector<std::any> array;
            array.reserve(container.size());
            int position = 0;
            for (const auto& element : container) {
                array.push_back(decodeAnyValue(element, appending(codingPath, CodingKey::index(position++))));
            }
            return array;
        } catch (const DecodingError&) {
        }
    } else if (container.is_object()) {
        try {
            std::map<std::string, std::any> dictionary;
            for (const auto& [key, element] : container.items()) {
                dictionary.emplace(key, decodeAnyValue(element, appending(codingPath, CodingKey::key(key))));
            }
            return dictionary;
        } catch (const DecodingError&) {
        }
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted, {codingPath, "AnyDecodable value cannot be decoded"});
}

void encodeAnyValue(const std::any& value, CodingContainer& container, const CodingPath& codingPath) {
    if (const auto* number = as<NSNumber>(value)) return encodeNumber(*number, value, container, codingPath);
    if (!value.has_value() || as<NSNull>(value) || as<std::monostate>(value)) {
        container = nullptr;
        return;
    }
    if (const auto* flag = as<bool>(value)) {
        container = *flag;
        return;
    }
    // Integers of every width, each written as itself: the platform's word first, then 8 to 64 bits.
    if (encodeIntegerOf<long, signed char, short, int, long long>(value, container)) return;
    if (encodeIntegerOf<unsigned long, unsigned char, unsigned short, unsigned int, unsigned long long>(value, container)) {
        return;
    }
    if (const auto* single = as<float>(value)) return encodeFloat(*single, value, container, codingPath);
    if (const auto* real = as<double>(value)) return encodeFloating(*real, value, container, codingPath);
    if (const auto* text = as<std::string>(value)) {
        container = *text;
        return;
    }
    if (const auto* text = as<const char*>(value); text && *text) {
        container = std::string(*text);
        return;
    }
    if (const auto* date = as<Date>(value)) return encodeFloating(date->timeIntervalSinceReferenceDate(), value, container, codingPath);
    if (const auto* url = as<URL>(value)) {
        container = url->absoluteString();
        return;
    }
    if (const auto* array = as<std::vector<std::any>>(value)) {
        CodingContainer elements = CodingContainer::array();
        int position = 0;
        for (const auto& element : *array) {
            CodingContainer encoded;
            AnyEncodable(element).encode(encoded, appending(codingPath, CodingKey::index(position++)));
            elements.push_back(std::move(encoded));
        }
        container = std::move(elements);
        return;
    }
    if (const auto* dictionary = as<std::map<std::string, std::any>>(value)) {
        CodingContainer members = CodingContainer::object();
        for (const auto& [key, element] : *dictionary) {
            AnyEncodable(element).encode(members[key], appending(codingPath, CodingKey::key(key)));
        }
        container = std::move(members);
        return;
    }
    invalid(value, codingPath, "AnyEncodable value cannot be encoded");
}

}  // namespace ZuzeDiv
