#pragma once
// Reading and writing single fields of a keyed container, with the errors of keyed decoding:
// a missing key (keyNotFound), null where a value is required (valueNotFound), a value of
// another type (typeMismatch), a number the field cannot hold (dataCorrupted).
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

#include "RuduredOro/DecodingError.hpp"

namespace RuduredOro::coding {

/// The container itself, which must be an object.
inline const KeyedContainer& keyed(const KeyedContainer& container) {
    if (!container.is_object()) {
        throw DecodingError(DecodingError::Kind::typeMismatch, "",
                            std::string("expected a keyed container but found ") + container.type_name());
    }
    return container;
}

template <class T>
T convert(const KeyedContainer& value, const std::string& key) {
    auto mismatch = [&](const char* expected) {
        return DecodingError(DecodingError::Kind::typeMismatch, key,
                             std::string("expected ") + expected + " but found " + value.type_name());
    };
    if constexpr (std::is_same_v<T, bool>) {
        if (!value.is_boolean()) throw mismatch("a Boolean");
        return value.get<bool>();
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (!value.is_string()) throw mismatch("a text");
        return value.get<std::string>();
    } else {
        static_assert(std::is_integral_v<T>);
        if (!value.is_number()) throw mismatch("a number");
        auto doesNotFit = [&] {
            return DecodingError(DecodingError::Kind::dataCorrupted, key, "the number " + value.dump() + " does not fit the field");
        };
        if (value.is_number_unsigned()) {
            auto number = value.get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) throw doesNotFit();
            return static_cast<T>(number);
        }
        if (value.is_number_integer()) {
            auto number = value.get<std::int64_t>();
            if (number < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
                (number > 0 && static_cast<std::uint64_t>(number) > static_cast<std::uint64_t>(std::numeric_limits<T>::max()))) {
                throw doesNotFit();
            }
            return static_cast<T>(number);
        }
        // A floating-point number fits only when it is whole and in range.
        double number = value.get<double>();
        if (!std::isfinite(number) || std::trunc(number) != number ||
            number < static_cast<double>(std::numeric_limits<T>::min()) ||
            number >= static_cast<double>(std::numeric_limits<T>::max()) + 1.0) {
            throw doesNotFit();
        }
        return static_cast<T>(number);
    }
}

/// A required field.
template <class T>
T decode(const KeyedContainer& container, const std::string& key) {
    auto found = container.find(key);
    if (found == container.end()) throw DecodingError(DecodingError::Kind::keyNotFound, key, "no value for the key");
    if (found->is_null()) throw DecodingError(DecodingError::Kind::valueNotFound, key, "null where a value is required");
    return convert<T>(*found, key);
}

/// An optional field: missing and null are both absent; anything else must convert.
template <class T>
std::optional<T> decodeIfPresent(const KeyedContainer& container, const std::string& key) {
    auto found = container.find(key);
    if (found == container.end() || found->is_null()) return std::nullopt;
    return convert<T>(*found, key);
}

/// Writes the value when present; an absent value leaves the key out.
template <class T>
void encodeIfPresent(KeyedContainer& container, const std::string& key, const std::optional<T>& value) {
    if (value) container[key] = *value;
}

}  // namespace RuduredOro::coding
