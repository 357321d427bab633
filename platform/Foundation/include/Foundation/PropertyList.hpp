#pragma once
// Property-list values (the kinds a property list holds) and their reading and writing in the XML
// and binary formats. The binary format keeps texts and keys byte for byte (a NUL too), integers
// from -2^63 to 2^64 - 1, reals and dates bit for bit, and nulls. The XML format holds dates as
// whole seconds and has no null (one is written as an empty text); it cannot hold the control
// characters other than tab, line feed and carriage return, so texts with them are not written.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Foundation/Data.hpp"
#include "Foundation/Date.hpp"

class PropertyListValue {
public:
    using Array = std::vector<PropertyListValue>;
    using Dictionary = std::map<std::string, PropertyListValue>;
    /// Integers are signed, except those above the signed range, which alone are kept unsigned.
    using Storage = std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, std::string, Data, Date, Array, Dictionary>;

    PropertyListValue() = default;
    PropertyListValue(bool value) : storage_(value) {}
    PropertyListValue(int value) : storage_(std::int64_t{value}) {}
    PropertyListValue(std::int64_t value) : storage_(value) {}
    PropertyListValue(std::uint64_t value);
    PropertyListValue(double value) : storage_(value) {}
    PropertyListValue(const char* value) : storage_(std::string(value)) {}
    PropertyListValue(std::string value) : storage_(std::move(value)) {}
    PropertyListValue(Data value) : storage_(std::move(value)) {}
    PropertyListValue(Date value) : storage_(value) {}
    PropertyListValue(Array value) : storage_(std::move(value)) {}
    PropertyListValue(Dictionary value) : storage_(std::move(value)) {}
    PropertyListValue(const std::vector<std::string>& strings);

    bool isNull() const { return std::holds_alternative<std::monostate>(storage_); }
    bool isBool() const { return std::holds_alternative<bool>(storage_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(storage_) || std::holds_alternative<std::uint64_t>(storage_); }
    bool isReal() const { return std::holds_alternative<double>(storage_); }
    bool isNumber() const { return isBool() || isInteger() || isReal(); }
    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isData() const { return std::holds_alternative<Data>(storage_); }
    bool isDate() const { return std::holds_alternative<Date>(storage_); }
    bool isArray() const { return std::holds_alternative<Array>(storage_); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(storage_); }

    /// Exact-kind accessors: absent when the value is of another kind.
    std::optional<bool> boolValue() const;
    /// An integer within the signed range.
    std::optional<std::int64_t> integerValue() const;
    /// An integer that is not negative.
    std::optional<std::uint64_t> unsignedIntegerValue() const;
    std::optional<double> realValue() const;
    std::optional<std::string> stringValue() const;
    const Data* dataValue() const { return std::get_if<Data>(&storage_); }
    std::optional<Date> dateValue() const;
    const Array* arrayValue() const { return std::get_if<Array>(&storage_); }
    const Dictionary* dictionaryValue() const { return std::get_if<Dictionary>(&storage_); }

    /// A number of any kind (a Boolean counts as 0 or 1) as a double.
    std::optional<double> numberValue() const;

    /// The entry of a dictionary value; nullptr when this is no dictionary or the key is absent.
    const PropertyListValue* find(const std::string& key) const;

    const Storage& storage() const { return storage_; }
    bool operator==(const PropertyListValue& other) const = default;

private:
    Storage storage_;
};

namespace PropertyListSerialization {
enum class Format { xml, binary };

/// How deeply arrays and dictionaries may nest in a property list that is read; deeper ones are
/// refused as damaged.
constexpr int maximumDepth = 512;

/// How much memory the values read from a property list may take: `maximumExpansion` times its
/// size in bytes, and `minimumAllowance` for any smaller list. Each value's slot in its array or
/// dictionary and the bytes of its text or data count. A binary list refers to shared objects, so
/// a small file could stand for gigabytes of values; one that would take more is refused as
/// damaged.
constexpr std::size_t maximumExpansion = 32;
constexpr std::size_t minimumAllowance = std::size_t{1} << 20;

struct ReadError {
    std::string message;
};

struct WriteError {
    std::string message;
};

/// The largest property-list file read from a path; a longer one is not read.
constexpr std::size_t maximumFileSize = std::size_t{16} << 20;

/// Reads a property list in either format; absent when the bytes are no property list, are
/// damaged, nest deeper than `maximumDepth` or would take more memory than `maximumExpansion`
/// allows. An XML list may be in UTF-8, UTF-16 or any encoding its declaration names.
std::optional<PropertyListValue> propertyList(const Data& data);
/// Reads the property list in the file at `path` (a host path): only a regular file of at most
/// `maximumFileSize` bytes is read; anything else at the path, or a link to it, is not waited on.
std::optional<PropertyListValue> propertyList(const std::string& path, ReadError* error);
/// The list in the format; absent when the format cannot hold a value (XML and a text with a
/// control character, or one that is no UTF-8).
std::optional<Data> data(const PropertyListValue& value, Format format = Format::xml, WriteError* error = nullptr);
}  // namespace PropertyListSerialization
