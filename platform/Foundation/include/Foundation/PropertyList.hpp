#pragma once
// Property-list values (the kinds a property list holds) and their reading and writing in the XML
// and binary formats. Texts and keys keep every byte (a NUL too), numbers and dates their full
// double precision in the binary format; the XML format holds dates as whole seconds.
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
    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date, Array, Dictionary>;

    PropertyListValue() = default;
    PropertyListValue(bool value) : storage_(value) {}
    PropertyListValue(int value) : storage_(std::int64_t{value}) {}
    PropertyListValue(std::int64_t value) : storage_(value) {}
    PropertyListValue(std::uint64_t value) : storage_(static_cast<std::int64_t>(value)) {}
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
    bool isInteger() const { return std::holds_alternative<std::int64_t>(storage_); }
    bool isReal() const { return std::holds_alternative<double>(storage_); }
    bool isNumber() const { return isBool() || isInteger() || isReal(); }
    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isData() const { return std::holds_alternative<Data>(storage_); }
    bool isDate() const { return std::holds_alternative<Date>(storage_); }
    bool isArray() const { return std::holds_alternative<Array>(storage_); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(storage_); }

    /// Exact-kind accessors: absent when the value is of another kind.
    std::optional<bool> boolValue() const;
    std::optional<std::int64_t> integerValue() const;
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

struct ReadError {
    std::string message;
};

/// Reads a property list in either format; absent when the bytes are no property list, are
/// damaged or nest deeper than `maximumDepth`.
std::optional<PropertyListValue> propertyList(const Data& data);
std::optional<PropertyListValue> propertyList(const std::string& path, ReadError* error);
Data data(const PropertyListValue& value, Format format = Format::xml);
}  // namespace PropertyListSerialization
