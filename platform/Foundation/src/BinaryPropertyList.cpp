// The binary property-list format: "bplist00", the objects, a table of their offsets and a
// trailer of 32 bytes that says how wide offsets and object references are, how many objects
// there are, which one is the top and where the table starts. All numbers are big-endian.
#include <unicode/ustring.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <unordered_map>

#include "ICUSupport.hpp"
#include "PropertyListFormats.hpp"

namespace {
constexpr char magic[] = "bplist00";
constexpr std::size_t magicLength = 8;
constexpr std::size_t trailerLength = 32;
// What a value takes in memory, counted against the reader's budget: its slot in an array, or a
// dictionary entry with its key and its tree node.
constexpr std::uint64_t slotCost = sizeof(PropertyListValue);
constexpr std::uint64_t entryCost = sizeof(PropertyListValue::Dictionary::value_type) + 4 * sizeof(void*);

enum Marker : std::uint8_t {
    null = 0x00,
    boolFalse = 0x08,
    boolTrue = 0x09,
    fill = 0x0F,
    integer = 0x10,
    real = 0x20,
    date = 0x33,
    data = 0x40,
    asciiString = 0x50,
    utf16String = 0x60,
    uid = 0x80,
    array = 0xA0,
    set = 0xC0,
    dictionary = 0xD0,
};

class Reader {
public:
    explicit Reader(const Data& bytes) : bytes_(bytes) {}

    std::optional<PropertyListValue> read() {
        if (bytes_.size() < magicLength + trailerLength + 1) return std::nullopt;
        const std::size_t trailer = bytes_.size() - trailerLength;
        offsetWidth_ = bytes_[trailer + 6];
        referenceWidth_ = bytes_[trailer + 7];
        if (offsetWidth_ < 1 || offsetWidth_ > 8 || referenceWidth_ < 1 || referenceWidth_ > 8) return std::nullopt;
        const auto objects = number(trailer + 8, 8);
        const auto top = number(trailer + 16, 8);
        const auto table = number(trailer + 24, 8);
        if (!objects || !top || !table || *objects == 0 || *top >= *objects) return std::nullopt;
        if (*table < magicLength + 1 || *table > trailer || (trailer - *table) / offsetWidth_ < *objects) return std::nullopt;
        objects_ = *objects;
        table_ = static_cast<std::size_t>(*table);
        budget_ = std::max(bytes_.size() * PropertyListSerialization::maximumExpansion, PropertyListSerialization::minimumAllowance);
        PropertyListValue value;
        if (!charge(slotCost) || !object(*top, 0, value)) return std::nullopt;
        return value;
    }

private:
    // An unsigned big-endian number of 1 to 8 bytes inside the data.
    std::optional<std::uint64_t> number(std::size_t offset, std::size_t width) const {
        if (width < 1 || width > 8 || offset > bytes_.size() || bytes_.size() - offset < width) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) value = (value << 8) | bytes_[offset + i];
        return value;
    }

    // Whether `length` bytes from `offset` lie among the objects (before the offset table).
    bool inObjects(std::size_t offset, std::uint64_t length) const { return offset <= table_ && length <= table_ - offset; }

    std::optional<std::size_t> offsetOf(std::uint64_t index) const {
        if (index >= objects_) return std::nullopt;
        auto offset = number(table_ + static_cast<std::size_t>(index) * offsetWidth_, offsetWidth_);
        if (!offset || *offset < magicLength || *offset >= table_) return std::nullopt;
        return static_cast<std::size_t>(*offset);
    }

    // The element count that follows a marker (in its low nibble, or as an integer object after
    // it when the nibble is 15), and where the elements start.
    bool count(std::size_t offset, std::uint64_t& count, std::size_t& start) const {
        const std::uint8_t low = bytes_[offset] & 0x0F;
        if (low != 0x0F) {
            count = low;
            start = offset + 1;
            return true;
        }
        if (!inObjects(offset + 1, 1) || (bytes_[offset + 1] & 0xF0) != integer) return false;
        const std::size_t width = std::size_t{1} << (bytes_[offset + 1] & 0x0F);
        if (width > 8 || !inObjects(offset + 2, width)) return false;
        count = *number(offset + 2, width);
        start = offset + 2 + width;
        return true;
    }

    // Counts memory the values read will take; false once they would take more than the budget.
    bool charge(std::uint64_t bytes) {
        if (bytes > budget_) return false;
        budget_ -= bytes;
        return true;
    }

    bool object(std::uint64_t index, int depth, PropertyListValue& out) {
        auto position = offsetOf(index);
        if (!position) return false;
        const std::size_t offset = *position;
        const std::uint8_t marker = bytes_[offset];
        const std::uint8_t low = marker & 0x0F;
        switch (marker & 0xF0) {
            case 0x00:
                if (marker == boolFalse || marker == boolTrue) {
                    out = PropertyListValue(marker == boolTrue);
                    return true;
                }
                out = PropertyListValue();
                return marker == null || marker == fill;
            case integer: {
                // 1, 2 and 4 bytes are unsigned, 8 bytes signed, 16 bytes signed too (written for
                // integers above the signed 8-byte range); a value outside both ranges is refused.
                if (low > 4) return false;
                const std::size_t width = std::size_t{1} << low;
                if (!inObjects(offset + 1, width)) return false;
                if (width < 8) {
                    out = PropertyListValue(static_cast<std::int64_t>(*number(offset + 1, width)));
                    return true;
                }
                const auto value = *number(offset + 1 + width - 8, 8);
                const auto high = width == 16 ? *number(offset + 1, 8) : 0;
                if (width == 8 || high == ~std::uint64_t{0}) {
                    if (width == 16 && static_cast<std::int64_t>(value) >= 0) return false;
                    out = PropertyListValue(static_cast<std::int64_t>(value));
                    return true;
                }
                if (high != 0) return false;
                out = PropertyListValue(value);
                return true;
            }
            case real: {
                if (low != 2 && low != 3) return false;
                const std::size_t width = std::size_t{1} << low;
                if (!inObjects(offset + 1, width)) return false;
                const auto bits = *number(offset + 1, width);
                out = PropertyListValue(width == 4 ? double{std::bit_cast<float>(static_cast<std::uint32_t>(bits))}
                                                   : std::bit_cast<double>(bits));
                return true;
            }
            case 0x30: {
                if (marker != date || !inObjects(offset + 1, 8)) return false;
                out = PropertyListValue(Date::fromTimeIntervalSinceReferenceDate(std::bit_cast<double>(*number(offset + 1, 8))));
                return true;
            }
            case data:
            case asciiString:
            case utf16String: return bytesObject(offset, out);
            case uid: {
                const std::size_t width = std::size_t{low} + 1;
                if (width > 8 || !inObjects(offset + 1, width)) return false;
                out = PropertyListValue(static_cast<std::int64_t>(*number(offset + 1, width)));
                return true;
            }
            case array:
            case set:
            case dictionary: return container(offset, depth + 1, out);
            default: return false;
        }
    }

    bool bytesObject(std::size_t offset, PropertyListValue& out) {
        const std::uint8_t kind = bytes_[offset] & 0xF0;
        std::uint64_t length = 0;
        std::size_t start = 0;
        if (!count(offset, length, start)) return false;
        const std::uint64_t unitWidth = kind == utf16String ? 2 : 1;
        if (length > table_ / unitWidth || !inObjects(start, length * unitWidth)) return false;
        // A text of UTF-16 units takes up to three bytes a unit in UTF-8.
        if (!charge(kind == utf16String ? 3 * length : length)) return false;
        const auto* first = bytes_.data() + start;
        if (kind == data) {
            out = PropertyListValue(Data(first, first + length));
            return true;
        }
        if (kind == asciiString) {
            if (std::any_of(first, first + length, [](std::uint8_t c) { return c >= 0x80; })) return false;
            out = PropertyListValue(std::string(first, first + length));
            return true;
        }
        std::u16string units(static_cast<std::size_t>(length), u'\0');
        for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>((first[2 * i] << 8) | first[2 * i + 1]);
        auto text = utf8(units);
        if (!text) return false;
        out = PropertyListValue(std::move(*text));
        return true;
    }

    bool container(std::size_t offset, int depth, PropertyListValue& out) {
        if (depth > PropertyListSerialization::maximumDepth) return false;
        const std::uint8_t kind = bytes_[offset] & 0xF0;
        std::uint64_t entries = 0;
        std::size_t start = 0;
        if (!count(offset, entries, start)) return false;
        const std::uint64_t references = kind == dictionary ? 2 : 1;
        if (entries > table_ / referenceWidth_ / references || !inObjects(start, entries * references * referenceWidth_))
            return false;
        // Counted before anything is made: a list that refers to itself a million times fails here
        // instead of making a million slots at every level.
        if (!charge(entries * (kind == dictionary ? entryCost : slotCost))) return false;
        auto reference = [&](std::uint64_t i) { return *number(start + static_cast<std::size_t>(i) * referenceWidth_, referenceWidth_); };
        if (kind != dictionary) {
            PropertyListValue::Array items(static_cast<std::size_t>(entries));
            for (std::uint64_t i = 0; i < entries; ++i)
                if (!object(reference(i), depth, items[static_cast<std::size_t>(i)])) return false;
            out = PropertyListValue(std::move(items));
            return true;
        }
        PropertyListValue::Dictionary items;
        for (std::uint64_t i = 0; i < entries; ++i) {
            PropertyListValue key, value;
            if (!object(reference(i), depth, key) || !key.isString()) return false;
            if (!object(reference(entries + i), depth, value)) return false;
            items.insert_or_assign(*key.stringValue(), std::move(value));
        }
        out = PropertyListValue(std::move(items));
        return true;
    }

    // UTF-16 to UTF-8; absent for an unpaired surrogate.
    static std::optional<std::string> utf8(const std::u16string& units) {
        UErrorCode status = U_ZERO_ERROR;
        std::int32_t length = 0;
        u_strToUTF8(nullptr, 0, &length, units.data(), static_cast<std::int32_t>(units.size()), &status);
        if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
        std::string text(static_cast<std::size_t>(length), '\0');
        status = U_ZERO_ERROR;
        u_strToUTF8(text.data(), length, nullptr, units.data(), static_cast<std::int32_t>(units.size()), &status);
        if (U_FAILURE(status)) return std::nullopt;
        return text;
    }

    const Data& bytes_;
    std::size_t offsetWidth_ = 0;
    std::size_t referenceWidth_ = 0;
    std::uint64_t objects_ = 0;
    std::size_t table_ = 0;
    // Bytes the values still may take.
    std::uint64_t budget_ = 0;
};

class Writer {
public:
    Data write(const PropertyListValue& value) {
        // Equal texts, numbers, data and dates are written once and shared, as the format allows,
        // unless the list would then take more memory than the reader allows for its size (many
        // references to a long text): then each is written where it occurs.
        auto shared = write(value, true);
        const auto allowance = std::max(shared.size() * PropertyListSerialization::maximumExpansion, PropertyListSerialization::minimumAllowance);
        if (cost_ <= allowance) return shared;
        return write(value, false);
    }

private:
    // One object of the table: a value, or a dictionary's key; containers list their members'
    // object numbers (a dictionary its keys, then its values).
    struct Entry {
        const PropertyListValue* value;
        const std::string* key;
        std::vector<std::uint64_t> members;
    };

    Data write(const PropertyListValue& value, bool share) {
        entries_.clear();
        leaves_.clear();
        share_ = share;
        cost_ = slotCost;
        add(&value, nullptr);
        referenceWidth_ = widthOf(entries_.size() - 1);
        out_.assign(magic, magic + magicLength);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(entries_.size());
        for (const auto& entry : entries_) {
            offsets.push_back(out_.size());
            writeEntry(entry);
        }
        const std::uint64_t table = out_.size();
        const std::size_t offsetWidth = widthOf(table);
        for (auto offset : offsets) append(offset, offsetWidth);
        out_.insert(out_.end(), 6, 0);
        out_.push_back(static_cast<std::uint8_t>(offsetWidth));
        out_.push_back(static_cast<std::uint8_t>(referenceWidth_));
        append(entries_.size(), 8);
        append(0, 8);
        append(table, 8);
        return std::move(out_);
    }

    std::uint64_t add(const PropertyListValue* value, const std::string* key) {
        const auto* items = value ? value->arrayValue() : nullptr;
        const auto* members = value ? value->dictionaryValue() : nullptr;
        if (items) cost_ += items->size() * slotCost;
        if (members) cost_ += members->size() * entryCost;
        if (share_ && !items && !members) {
            auto [known, added] = leaves_.try_emplace(leafIdentity(value, key), entries_.size());
            if (!added) return known->second;
        }
        const std::uint64_t index = entries_.size();
        entries_.push_back(Entry{value, key, {}});
        std::vector<std::uint64_t> references;
        if (items) {
            for (const auto& item : *items) references.push_back(add(&item, nullptr));
        } else if (members) {
            for (const auto& [name, item] : *members) references.push_back(add(nullptr, &name));
            for (const auto& [name, item] : *members) references.push_back(add(&item, nullptr));
        }
        entries_[index].members = std::move(references);
        return index;
    }

    // What tells a text, number, data or date from every other one (a kind, then its bytes), with
    // the memory the reader counts for it added to `cost_`.
    std::string leafIdentity(const PropertyListValue* value, const std::string* key) {
        auto bits = [](char kind, std::uint64_t number) {
            std::string identity(1, kind);
            for (int i = 0; i < 8; ++i) identity.push_back(static_cast<char>(number >> (8 * i)));
            return identity;
        };
        auto text = [&](const std::string& text) {
            // A text that is not ASCII is written as UTF-16 units, which the reader counts as up to
            // 3 bytes each.
            const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            cost_ += ascii ? text.size() : 3 * static_cast<std::uint64_t>(icusupport::unicode(text).length());
            return 's' + text;
        };
        if (key) return text(*key);
        return std::visit(
            [&](const auto& v) -> std::string {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    return "n";
                } else if constexpr (std::is_same_v<T, bool>) {
                    return v ? "b1" : "b0";
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    return bits('i', static_cast<std::uint64_t>(v));
                } else if constexpr (std::is_same_v<T, std::uint64_t>) {
                    return bits('u', v);
                } else if constexpr (std::is_same_v<T, double>) {
                    return bits('r', std::bit_cast<std::uint64_t>(v));
                } else if constexpr (std::is_same_v<T, std::string>) {
                    return text(v);
                } else if constexpr (std::is_same_v<T, Data>) {
                    cost_ += v.size();
                    return 'd' + std::string(v.begin(), v.end());
                } else if constexpr (std::is_same_v<T, Date>) {
                    return bits('t', std::bit_cast<std::uint64_t>(v.timeIntervalSinceReferenceDate()));
                } else {
                    return {};
                }
            },
            value->storage());
    }

    static std::size_t widthOf(std::uint64_t largest) {
        if (largest <= 0xFF) return 1;
        if (largest <= 0xFFFF) return 2;
        if (largest <= 0xFFFFFFFF) return 4;
        return 8;
    }

    void append(std::uint64_t value, std::size_t width) {
        for (std::size_t i = width; i-- > 0;) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    void marker(std::uint8_t kind, std::uint64_t count) {
        if (count < 15) {
            out_.push_back(static_cast<std::uint8_t>(kind | count));
            return;
        }
        out_.push_back(static_cast<std::uint8_t>(kind | 0x0F));
        integerObject(static_cast<std::int64_t>(count));
    }

    void integerObject(std::int64_t value) {
        const std::size_t width = value < 0 ? 8 : widthOf(static_cast<std::uint64_t>(value));
        out_.push_back(static_cast<std::uint8_t>(integer | std::countr_zero(width)));
        append(static_cast<std::uint64_t>(value), width);
    }

    void text(const std::string& value) {
        if (std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            marker(asciiString, value.size());
            out_.insert(out_.end(), value.begin(), value.end());
            return;
        }
        const auto units = icusupport::unicode(value);
        marker(utf16String, static_cast<std::uint64_t>(units.length()));
        for (std::int32_t i = 0; i < units.length(); ++i) append(units.charAt(i), 2);
    }

    void writeEntry(const Entry& entry) {
        if (entry.key) {
            text(*entry.key);
            return;
        }
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    out_.push_back(null);
                } else if constexpr (std::is_same_v<T, bool>) {
                    out_.push_back(v ? boolTrue : boolFalse);
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    integerObject(v);
                } else if constexpr (std::is_same_v<T, std::uint64_t>) {
                    // Above the signed 8-byte range: a signed 16-byte integer.
                    out_.push_back(integer | 4);
                    append(0, 8);
                    append(v, 8);
                } else if constexpr (std::is_same_v<T, double>) {
                    out_.push_back(real | 3);
                    append(std::bit_cast<std::uint64_t>(v), 8);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    text(v);
                } else if constexpr (std::is_same_v<T, Data>) {
                    marker(data, v.size());
                    out_.insert(out_.end(), v.begin(), v.end());
                } else if constexpr (std::is_same_v<T, Date>) {
                    out_.push_back(date);
                    append(std::bit_cast<std::uint64_t>(v.timeIntervalSinceReferenceDate()), 8);
                } else {
                    const bool isArray = std::is_same_v<T, PropertyListValue::Array>;
                    marker(isArray ? array : dictionary, isArray ? entry.members.size() : entry.members.size() / 2);
                    for (auto member : entry.members) append(member, referenceWidth_);
                }
            },
            entry.value->storage());
    }

    std::vector<Entry> entries_;
    // The objects of the leaves written so far, by identity, while they are shared.
    std::unordered_map<std::string, std::uint64_t> leaves_;
    bool share_ = true;
    // While sharing: the memory the reader counts for the values, each shared one as often as it
    // occurs.
    std::uint64_t cost_ = 0;
    std::size_t referenceWidth_ = 1;
    Data out_;
};
}  // namespace

namespace PropertyListFormats {

bool isBinary(const Data& bytes) {
    return bytes.size() >= magicLength && std::memcmp(bytes.data(), magic, magicLength) == 0;
}

std::optional<PropertyListValue> readBinary(const Data& bytes) {
    if (!isBinary(bytes)) return std::nullopt;
    return Reader(bytes).read();
}

Data writeBinary(const PropertyListValue& value) { return Writer().write(value); }

}  // namespace PropertyListFormats
