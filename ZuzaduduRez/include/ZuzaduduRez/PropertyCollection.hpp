#pragma once
// The key and value lines of one heading of a profiler report.
#include <any>
#include <map>
#include <optional>
#include <string>

namespace ZuzaduduRez {

class PropertyCollection {
public:
    using Dictionary = std::map<std::string, std::any>;

    /// Every value by its key; the parser stores texts (std::string) only.
    Dictionary data;

    std::size_t count() const { return data.size(); }
    bool has(const std::string& key) const { return data.contains(key); }

    /// The stored value, or nothing.
    std::optional<std::any> value(const std::string& key) const {
        auto found = data.find(key);
        if (found == data.end()) return std::nullopt;
        return found->second;
    }

    /// The stored value as a T; nothing when the key is missing or the value is of another type.
    template <class T>
    std::optional<T> value(const std::string& key) const {
        auto found = data.find(key);
        if (found == data.end()) return std::nullopt;
        if (const T* typed = std::any_cast<T>(&found->second)) return *typed;
        return std::nullopt;
    }
};

}  // namespace ZuzaduduRez
