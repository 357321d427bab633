#pragma once
// Keyed coding of the module's records: a keyed container is a JSON object whose keys keep the
// order in which they were written. Reading one fails with a DecodingError that tells why.
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace RuduredOro {

using KeyedContainer = nlohmann::ordered_json;

class DecodingError : public std::runtime_error {
public:
    enum class Kind {
        /// A value of another type than the field's (or a container that is no object).
        typeMismatch,
        /// null where a value is required.
        valueNotFound,
        /// A required key is missing.
        keyNotFound,
        /// A value of the right type that the field cannot hold (300 for a percent, an unknown
        /// raw value).
        dataCorrupted,
    };

    DecodingError(Kind kind, std::string key, const std::string& description);

    Kind kind() const { return kind_; }
    /// The key being read; empty for the container itself.
    const std::string& key() const { return key_; }

private:
    Kind kind_;
    std::string key_;
};

}  // namespace RuduredOro
