#include "Foundation/backends/BluetoothIdentity.hpp"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace {

// Our namespace for peripheral identifiers: 4A05E6AF-5761-4316-82A4-46FFB6405BA1.
constexpr std::array<std::uint8_t, 16> identifierNamespace{0x4A, 0x05, 0xE6, 0xAF, 0x57, 0x61, 0x43, 0x16,
                                                           0x82, 0xA4, 0x46, 0xFF, 0xB6, 0x40, 0x5B, 0xA1};

std::array<std::uint8_t, 20> sha1(const std::string& bytes) {
    std::array<std::uint8_t, 20> digest{};
    GChecksum* checksum = g_checksum_new(G_CHECKSUM_SHA1);
    g_checksum_update(checksum, reinterpret_cast<const guchar*>(bytes.data()), static_cast<gssize>(bytes.size()));
    gsize length = digest.size();
    g_checksum_get_digest(checksum, digest.data(), &length);
    g_checksum_free(checksum);
    return digest;
}

}  // namespace

std::string canonicalBluetoothAddress(const std::string& address) {
    std::string text = address;
    for (auto& c : text) {
        c = c == '-' ? ':' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

UUID bluetoothPeripheralIdentifier(const std::string& address) {
    std::string input(identifierNamespace.begin(), identifierNamespace.end());
    input += canonicalBluetoothAddress(address);
    auto digest = sha1(input);
    std::array<std::uint8_t, 16> bytes{};
    std::copy_n(digest.begin(), 16, bytes.begin());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x50);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return UUID(bytes);
}
