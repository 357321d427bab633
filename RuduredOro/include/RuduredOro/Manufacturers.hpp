#pragma once
// Manufacturer names by 16-bit vendor (or company) id.
#include <cstdint>
#include <map>
#include <string>

namespace RuduredOro {

class Manufacturers {
public:
    Manufacturers() = delete;

    static const std::string apple;
    static const std::string bose;
    static const std::string logitech;
    static const std::string sony;

    /// The known vendors: 0x004C Apple, 0x009E Bose, 0x046D Logitech, 0x012D Sony.
    static const std::map<std::uint16_t, std::string>& names();
    /// The vendor's name, or the module's "UNKNOWN_MANUFACTURER" text.
    static std::string name(std::uint16_t vendorId);
};

}  // namespace RuduredOro
