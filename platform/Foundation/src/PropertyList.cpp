#include "Foundation/PropertyList.hpp"

#include <limits>

#include "Foundation/backends/RegularFile.hpp"
#include "PropertyListFormats.hpp"

PropertyListValue::PropertyListValue(std::uint64_t value) {
    if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        storage_ = static_cast<std::int64_t>(value);
    } else {
        storage_ = value;
    }
}

PropertyListValue::PropertyListValue(const std::vector<std::string>& strings) {
    Array array;
    for (const auto& s : strings) array.emplace_back(s);
    storage_ = std::move(array);
}

std::optional<bool> PropertyListValue::boolValue() const {
    if (auto* v = std::get_if<bool>(&storage_)) return *v;
    return std::nullopt;
}
std::optional<std::int64_t> PropertyListValue::integerValue() const {
    if (auto* v = std::get_if<std::int64_t>(&storage_)) return *v;
    return std::nullopt;
}
std::optional<std::uint64_t> PropertyListValue::unsignedIntegerValue() const {
    if (auto* v = std::get_if<std::uint64_t>(&storage_)) return *v;
    if (auto* v = std::get_if<std::int64_t>(&storage_); v && *v >= 0) return static_cast<std::uint64_t>(*v);
    return std::nullopt;
}
std::optional<double> PropertyListValue::realValue() const {
    if (auto* v = std::get_if<double>(&storage_)) return *v;
    return std::nullopt;
}
std::optional<std::string> PropertyListValue::stringValue() const {
    if (auto* v = std::get_if<std::string>(&storage_)) return *v;
    return std::nullopt;
}
std::optional<Date> PropertyListValue::dateValue() const {
    if (auto* v = std::get_if<Date>(&storage_)) return *v;
    return std::nullopt;
}
std::optional<double> PropertyListValue::numberValue() const {
    if (auto* v = std::get_if<bool>(&storage_)) return *v ? 1.0 : 0.0;
    if (auto* v = std::get_if<std::int64_t>(&storage_)) return static_cast<double>(*v);
    if (auto* v = std::get_if<std::uint64_t>(&storage_)) return static_cast<double>(*v);
    if (auto* v = std::get_if<double>(&storage_)) return *v;
    return std::nullopt;
}
const PropertyListValue* PropertyListValue::find(const std::string& key) const {
    auto* dictionary = dictionaryValue();
    if (!dictionary) return nullptr;
    auto it = dictionary->find(key);
    return it == dictionary->end() ? nullptr : &it->second;
}

namespace PropertyListSerialization {

std::optional<PropertyListValue> propertyList(const Data& data) {
    if (PropertyListFormats::isBinary(data)) return PropertyListFormats::readBinary(data);
    return PropertyListFormats::readXML(data);
}

std::optional<PropertyListValue> propertyList(const std::string& path, ReadError* error) {
    auto bytes = RegularFile::contents(path, maximumFileSize);
    if (!bytes) {
        if (error) error->message = "The file \"" + path + "\" couldn't be opened.";
        return std::nullopt;
    }
    auto value = propertyList(dataFromString(*bytes));
    if (!value && error) error->message = "The data couldn't be read because it isn't in the correct format.";
    return value;
}

std::optional<Data> data(const PropertyListValue& value, Format format, WriteError* error) {
    if (format == Format::binary) return PropertyListFormats::writeBinary(value);
    auto bytes = PropertyListFormats::writeXML(value);
    if (!bytes && error) error->message = "The data couldn't be written because a text holds a character XML cannot hold.";
    return bytes;
}

}  // namespace PropertyListSerialization
