#include "IOKit/CFValue.hpp"

#include <atomic>
#include <cmath>
#include <limits>

namespace {

// 2^63 as a double: the first value past the int64 range.
constexpr double twoToThe63 = 9223372036854775808.0;

bool fitsInt64(double value) { return value >= -twoToThe63 && value < twoToThe63; }

}  // namespace

CFNumber CFNumber::boolean(bool value) {
    CFNumber number;
    number.kind_ = Kind::boolean;
    number.integer_ = value ? 1 : 0;
    return number;
}

double CFNumber::doubleValue() const {
    return kind_ == Kind::floatingPoint ? real_ : static_cast<double>(integer_);
}

float CFNumber::floatValue() const { return static_cast<float>(doubleValue()); }

std::int64_t CFNumber::integerValue() const {
    if (kind_ != Kind::floatingPoint) return integer_;
    if (std::isnan(real_)) return 0;
    if (real_ >= twoToThe63) return std::numeric_limits<std::int64_t>::max();
    if (real_ < -twoToThe63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(real_);  // truncates toward zero
}

std::optional<std::int64_t> CFNumber::exactInteger() const {
    if (kind_ != Kind::floatingPoint) return integer_;
    if (!std::isfinite(real_) || !fitsInt64(real_) || std::trunc(real_) != real_) return std::nullopt;
    return static_cast<std::int64_t>(real_);
}

bool CFNumber::operator==(const CFNumber& other) const {
    if ((kind_ == Kind::boolean) != (other.kind_ == Kind::boolean)) return false;
    if (kind_ != Kind::floatingPoint && other.kind_ != Kind::floatingPoint) return integer_ == other.integer_;
    if (kind_ == Kind::floatingPoint && other.kind_ == Kind::floatingPoint) return real_ == other.real_;
    // One whole number and one floating-point value: equal when the latter is that whole number.
    const CFNumber& real = kind_ == Kind::floatingPoint ? *this : other;
    const CFNumber& whole = kind_ == Kind::floatingPoint ? other : *this;
    auto exact = real.exactInteger();
    return exact && *exact == whole.integer_;
}

CFDictionary::CFDictionary(std::initializer_list<std::pair<std::string, CFValue>> entries) {
    for (const auto& [key, value] : entries) set(CFValue(key), value);
}

const CFValue* CFDictionary::find(std::string_view key) const {
    for (const auto& [k, v] : entries()) {
        if (auto text = std::get_if<std::string>(&k.storage()); text && *text == key) return &v;
    }
    return nullptr;
}

const CFValue* CFDictionary::find(const CFValue& key) const {
    for (const auto& [k, v] : entries()) {
        if (k == key) return &v;
    }
    return nullptr;
}

std::vector<CFDictionary::Entry>& CFDictionary::mutableEntries() {
    if (!entries_) {
        entries_ = std::make_shared<std::vector<Entry>>();
    } else if (entries_.use_count() > 1) {
        entries_ = std::make_shared<std::vector<Entry>>(*entries_);
    } else {
        // The last other copy may have gone on another thread: what it read happens before this
        // copy writes.
        std::atomic_thread_fence(std::memory_order_acquire);
    }
    return *entries_;
}

void CFDictionary::set(const CFValue& key, CFValue value) {
    auto& entries = mutableEntries();
    for (auto& [k, v] : entries) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    entries.emplace_back(key, std::move(value));
}

void CFDictionary::remove(const CFValue& key) {
    if (!find(key)) return;
    std::erase_if(mutableEntries(), [&](const Entry& entry) { return entry.first == key; });
}

bool CFDictionary::hasOnlyTextKeys() const {
    for (const auto& entry : entries()) {
        if (!entry.first.isString()) return false;
    }
    return true;
}

bool CFDictionary::operator==(const CFDictionary& other) const {
    if (entries_ == other.entries_) return true;
    // Order does not matter: every entry of one has an equal entry in the other.
    if (count() != other.count()) return false;
    for (const auto& [key, value] : entries()) {
        auto found = other.find(key);
        if (!found || !(*found == value)) return false;
    }
    return true;
}

std::optional<std::string> CFValue::stringValue() const {
    if (auto text = std::get_if<std::string>(&storage_)) return *text;
    return std::nullopt;
}

std::optional<CFNumber> CFValue::numberValue() const {
    if (auto number = std::get_if<CFNumber>(&storage_)) return *number;
    if (auto flag = std::get_if<bool>(&storage_)) return CFNumber::boolean(*flag);
    return std::nullopt;
}

std::optional<std::int64_t> CFValue::intValue() const {
    auto number = numberValue();
    if (!number) return std::nullopt;
    return number->exactInteger();
}

std::optional<double> CFValue::doubleValue() const {
    auto number = numberValue();
    if (!number) return std::nullopt;
    if (number->isFloatType()) return number->doubleValue();
    // A whole number reads as a double only when the double holds it exactly.
    double value = number->doubleValue();
    if (!fitsInt64(value) || static_cast<std::int64_t>(value) != number->integerValue()) return std::nullopt;
    return value;
}

std::optional<bool> CFValue::boolValue() const {
    if (auto flag = std::get_if<bool>(&storage_)) return *flag;
    auto number = numberValue();
    if (!number) return std::nullopt;
    auto whole = number->exactInteger();
    if (whole && (*whole == 0 || *whole == 1)) return *whole == 1;
    return std::nullopt;
}
