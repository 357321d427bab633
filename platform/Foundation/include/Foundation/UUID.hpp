#pragma once
// Universally unique identifiers: random ones, and parsing and printing of the usual text form.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

class UUID {
public:
    /// A new random identifier (version 4).
    UUID();
    explicit UUID(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}
    /// Reads "6F1A2B3C-0000-4000-8000-00000000A001" in either letter case; absent otherwise.
    static std::optional<UUID> fromString(const std::string& text);

    /// Upper-case text with dashes, 36 characters.
    std::string uuidString() const;
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }

    auto operator<=>(const UUID&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};
