#pragma once
// Bluetooth identifiers of services and characteristics. A 16-bit ("180F") or 32-bit identifier
// stands for the 128-bit one built on the Bluetooth base identifier, so "180F" and
// "0000180f-0000-1000-8000-00805f9b34fb" are equal. Text is read in either letter case and
// written in upper case, in its shortest form.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Data.hpp"

class CBUUID {
public:
    /// Reads 4, 8 or 32 hexadecimal digits (the last with dashes at the usual places);
    /// throws std::invalid_argument for any other text.
    explicit CBUUID(std::string_view text);
    explicit CBUUID(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}
    /// The same reading without throwing: absent for a text that is no identifier.
    static std::optional<CBUUID> fromString(std::string_view text);

    /// "180F" for a 16-bit identifier, 8 digits for a 32-bit one, otherwise the 36-character form.
    std::string uuidString() const;
    /// 2, 4 or 16 bytes, most significant first, matching uuidString().
    Data data() const;
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }

    bool operator==(const CBUUID& other) const = default;
    auto operator<=>(const CBUUID& other) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

template <>
struct std::hash<CBUUID> {
    std::size_t operator()(const CBUUID& uuid) const noexcept;
};
