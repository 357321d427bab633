#pragma once
// Keyed coding of single values: the value is one JSON value (an object's member, an array's
// element or a whole document), reached by a path of keys. Reading or writing one fails with an
// error that tells where and why.
#include <any>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace ZuzeDiv {

/// A single value of keyed coding; objects keep their keys in the order written.
using CodingContainer = nlohmann::ordered_json;

/// One step of a coding path: a dictionary key, or the index of an array element.
struct CodingKey {
    std::string stringValue;
    std::optional<int> intValue;

    static CodingKey key(std::string name) { return {std::move(name), std::nullopt}; }
    static CodingKey index(int position) { return {"Index " + std::to_string(position), position}; }
    bool operator==(const CodingKey&) const = default;
};

using CodingPath = std::vector<CodingKey>;

/// Where coding failed, a description of why, and the error behind it where there is one.
struct CodingContext {
    CodingPath codingPath;
    std::string debugDescription;
    std::exception_ptr underlyingError = nullptr;
};

class EncodingError : public std::runtime_error {
public:
    enum class Kind {
        /// A value that cannot be written: a kind the encoding does not know, or a number JSON
        /// cannot hold.
        invalidValue,
    };

    EncodingError(Kind kind, std::any value, CodingContext context);

    Kind kind() const { return kind_; }
    /// The value that could not be written.
    const std::any& value() const { return value_; }
    const CodingContext& context() const { return context_; }

private:
    Kind kind_;
    std::any value_;
    CodingContext context_;
};

class DecodingError : public std::runtime_error {
public:
    enum class Kind {
        /// The data is not of any form the value can be read from.
        dataCorrupted,
    };

    DecodingError(Kind kind, CodingContext context);

    Kind kind() const { return kind_; }
    const CodingContext& context() const { return context_; }

private:
    Kind kind_;
    CodingContext context_;
};

}  // namespace ZuzeDiv
