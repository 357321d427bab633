#include "Foundation/PropertyList.hpp"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace {
// The property-list library counts dates from 1 January 2001.
constexpr double referenceDateOffset = 978307200.0;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

PropertyListValue fromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return PropertyListValue(value != 0);
        }
        case PLIST_UINT: {
            std::uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return PropertyListValue(static_cast<std::int64_t>(value));
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return PropertyListValue(value);
        }
        case PLIST_STRING: {
            char* value = nullptr;
            plist_get_string_val(node, &value);
            std::string text = value ? value : "";
            std::free(value);
            return PropertyListValue(std::move(text));
        }
        case PLIST_KEY: {
            char* value = nullptr;
            plist_get_key_val(node, &value);
            std::string text = value ? value : "";
            std::free(value);
            return PropertyListValue(std::move(text));
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            std::uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            Data data(reinterpret_cast<std::uint8_t*>(bytes), reinterpret_cast<std::uint8_t*>(bytes) + length);
            std::free(bytes);
            return PropertyListValue(std::move(data));
        }
        case PLIST_DATE: {
            std::int32_t seconds = 0, micro = 0;
            plist_get_date_val(node, &seconds, &micro);
            return PropertyListValue(Date(referenceDateOffset + seconds + micro / 1e6));
        }
        case PLIST_ARRAY: {
            PropertyListValue::Array array;
            for (std::uint32_t i = 0, n = plist_array_get_size(node); i < n; ++i)
                array.push_back(fromNode(plist_array_get_item(node, i)));
            return PropertyListValue(std::move(array));
        }
        case PLIST_DICT: {
            PropertyListValue::Dictionary dictionary;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, iter, &key, &value);
                if (!key) break;
                dictionary.emplace(key, fromNode(value));
                std::free(key);
            }
            std::free(iter);
            return PropertyListValue(std::move(dictionary));
        }
        case PLIST_UID: {
            std::uint64_t value = 0;
            plist_get_uid_val(node, &value);
            return PropertyListValue(static_cast<std::int64_t>(value));
        }
        default:
            return PropertyListValue();
    }
}

plist_t toNode(const PropertyListValue& value) {
    return std::visit(
        [](const auto& v) -> plist_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return plist_new_string("");
            } else if constexpr (std::is_same_v<T, bool>) {
                return plist_new_bool(v ? 1 : 0);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return plist_new_uint(static_cast<std::uint64_t>(v));
            } else if constexpr (std::is_same_v<T, double>) {
                return plist_new_real(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return plist_new_string(v.c_str());
            } else if constexpr (std::is_same_v<T, Data>) {
                return plist_new_data(reinterpret_cast<const char*>(v.data()), v.size());
            } else if constexpr (std::is_same_v<T, Date>) {
                double since = v.timeIntervalSince1970() - referenceDateOffset;
                auto seconds = static_cast<std::int32_t>(std::floor(since));
                auto micro = static_cast<std::int32_t>((since - seconds) * 1e6);
                return plist_new_date(seconds, micro);
            } else if constexpr (std::is_same_v<T, PropertyListValue::Array>) {
                plist_t array = plist_new_array();
                for (const auto& item : v) plist_array_append_item(array, toNode(item));
                return array;
            } else {
                plist_t dict = plist_new_dict();
                for (const auto& [key, item] : v) plist_dict_set_item(dict, key.c_str(), toNode(item));
                return dict;
            }
        },
        value.storage());
}
}  // namespace

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
    if (data.empty()) return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(data.data()), static_cast<std::uint32_t>(data.size()), &root);
    if (!root) return std::nullopt;
    PlistPtr owner(root);
    return fromNode(root);
}

std::optional<PropertyListValue> propertyList(const std::string& path, ReadError* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error) error->message = "The file \"" + path + "\" couldn't be opened.";
        return std::nullopt;
    }
    Data data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto value = propertyList(data);
    if (!value && error) error->message = "The data couldn't be read because it isn't in the correct format.";
    return value;
}

Data data(const PropertyListValue& value, Format format) {
    PlistPtr root(toNode(value));
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (format == Format::xml) {
        plist_to_xml(root.get(), &bytes, &length);
    } else {
        plist_to_bin(root.get(), &bytes, &length);
    }
    Data out(reinterpret_cast<std::uint8_t*>(bytes), reinterpret_cast<std::uint8_t*>(bytes) + length);
    std::free(bytes);
    return out;
}

}  // namespace PropertyListSerialization
