#pragma once
// CoreFoundation-like values, as the registry hands them out: texts, numbers (whole or
// floating-point, remembering which), Booleans, data, arrays and dictionaries. The conversions
// follow the platform's bridging rules: a Boolean is a number, a whole-valued floating-point
// number is an integer, 2.5 is not.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "Foundation/Data.hpp"

/// A number object: an integer, a floating-point value or a Boolean, with the platform's reads.
class CFNumber {
public:
    enum class Kind { integer, floatingPoint, boolean };

    CFNumber(int value) : kind_(Kind::integer), integer_(value) {}
    CFNumber(std::int64_t value) : kind_(Kind::integer), integer_(value) {}
    CFNumber(double value) : kind_(Kind::floatingPoint), real_(value) {}
    static CFNumber boolean(bool value);

    Kind kind() const { return kind_; }
    /// True for numbers stored as floating-point values (not for whole numbers or Booleans).
    bool isFloatType() const { return kind_ == Kind::floatingPoint; }

    /// The value as a double (a Boolean is 0 or 1).
    double doubleValue() const;
    /// The value in single precision.
    float floatValue() const;
    /// The value truncated toward zero; NaN reads as 0 and values out of range saturate.
    std::int64_t integerValue() const;
    /// The integer value taken modulo 2^16.
    std::uint16_t uint16Value() const { return static_cast<std::uint16_t>(integerValue()); }
    bool boolValue() const { return doubleValue() != 0; }

    /// The value as a whole number when it is one exactly (a Boolean counts; 2.5 does not).
    std::optional<std::int64_t> exactInteger() const;

    /// Numbers compare by value; a Boolean equals only a Boolean.
    bool operator==(const CFNumber& other) const;

private:
    CFNumber() = default;
    Kind kind_ = Kind::integer;
    std::int64_t integer_ = 0;
    double real_ = 0;
};

class CFValue;
using CFArray = std::vector<CFValue>;

/// A dictionary with keys of any kind, kept in insertion order. Copies share their entries until
/// one of them changes (copy on write), so that a dictionary handed out by the registry costs no
/// copy of what it holds.
class CFDictionary {
public:
    using Entry = std::pair<CFValue, CFValue>;

    CFDictionary() = default;
    CFDictionary(std::initializer_list<std::pair<std::string, CFValue>> entries);

    std::size_t count() const;
    bool empty() const;
    std::vector<Entry>::const_iterator begin() const;
    std::vector<Entry>::const_iterator end() const;

    /// The value under a text key; nullptr when there is none.
    const CFValue* find(std::string_view key) const;
    const CFValue* find(const std::string& key) const { return find(std::string_view(key)); }
    const CFValue* find(const char* key) const { return find(std::string_view(key)); }
    const CFValue* find(const CFValue& key) const;
    /// Sets the value under a key, replacing an existing entry in its place.
    void set(const CFValue& key, CFValue value);
    void remove(const CFValue& key);
    /// True when every key is a text (so the dictionary reads as one keyed by texts).
    bool hasOnlyTextKeys() const;

    bool operator==(const CFDictionary& other) const;

private:
    const std::vector<Entry>& entries() const;
    /// The entries of this dictionary alone, copied first when other copies share them.
    std::vector<Entry>& mutableEntries();

    std::shared_ptr<std::vector<Entry>> entries_;  // none while empty
};

class CFValue {
public:
    using Storage = std::variant<std::string, CFNumber, bool, Data, CFArray, CFDictionary>;

    CFValue(const char* text) : storage_(std::string(text)) {}
    CFValue(std::string text) : storage_(std::move(text)) {}
    CFValue(int value) : storage_(CFNumber(value)) {}
    CFValue(std::int64_t value) : storage_(CFNumber(value)) {}
    CFValue(double value) : storage_(CFNumber(value)) {}
    CFValue(CFNumber number) : storage_(number) {}
    CFValue(bool value) : storage_(value) {}
    CFValue(Data data) : storage_(std::move(data)) {}
    CFValue(CFArray array) : storage_(std::move(array)) {}
    CFValue(CFDictionary dictionary) : storage_(std::move(dictionary)) {}

    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isNumber() const { return std::holds_alternative<CFNumber>(storage_); }
    bool isBoolean() const { return std::holds_alternative<bool>(storage_); }
    bool isData() const { return std::holds_alternative<Data>(storage_); }
    bool isArray() const { return std::holds_alternative<CFArray>(storage_); }
    bool isDictionary() const { return std::holds_alternative<CFDictionary>(storage_); }

    /// Bridged reads, each absent when the value does not convert:
    /// a text only from a text;
    std::optional<std::string> stringValue() const;
    /// a number object from a number or a Boolean;
    std::optional<CFNumber> numberValue() const;
    /// an integer from a whole number, a floating-point number without fraction, or a Boolean;
    std::optional<std::int64_t> intValue() const;
    /// a double from any number or Boolean that it represents exactly;
    std::optional<double> doubleValue() const;
    /// a Boolean from a Boolean or from the numbers 0 and 1.
    std::optional<bool> boolValue() const;
    const Data* dataValue() const { return std::get_if<Data>(&storage_); }
    const CFArray* arrayValue() const { return std::get_if<CFArray>(&storage_); }
    const CFDictionary* dictionaryValue() const { return std::get_if<CFDictionary>(&storage_); }

    const Storage& storage() const { return storage_; }
    bool operator==(const CFValue& other) const { return storage_ == other.storage_; }

private:
    Storage storage_;
};

inline const std::vector<CFDictionary::Entry>& CFDictionary::entries() const {
    static const std::vector<Entry> none;
    return entries_ ? *entries_ : none;
}
inline std::size_t CFDictionary::count() const { return entries().size(); }
inline bool CFDictionary::empty() const { return entries().empty(); }
inline std::vector<CFDictionary::Entry>::const_iterator CFDictionary::begin() const { return entries().begin(); }
inline std::vector<CFDictionary::Entry>::const_iterator CFDictionary::end() const { return entries().end(); }

/// References to values, as the registry's "create" calls hand them out (empty: no value).
using CFTypeRef = std::shared_ptr<const CFValue>;
using CFDictionaryRef = std::shared_ptr<const CFDictionary>;
using CFMutableDictionaryRef = std::shared_ptr<CFDictionary>;

/// The allocator argument of the "create" calls; only the default exists.
using CFAllocatorRef = const void*;
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;
