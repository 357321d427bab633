#include "RuduredOro/Manufacturers.hpp"

#include "RuduredOro/Resources.hpp"

namespace RuduredOro {

const std::string Manufacturers::apple = "Apple Inc.";
const std::string Manufacturers::bose = "Bose Corporation";
const std::string Manufacturers::logitech = "Logitech Inc.";
const std::string Manufacturers::sony = "Sony Corporation";

const std::map<std::uint16_t, std::string>& Manufacturers::names() {
    // Built on first use; function-local statics are made once even under concurrent first use.
    static const std::map<std::uint16_t, std::string> table{
        {0x004C, apple}, {0x009E, bose}, {0x046D, logitech}, {0x012D, sony}};
    return table;
}

std::string Manufacturers::name(std::uint16_t vendorId) {
    auto found = names().find(vendorId);
    if (found != names().end()) return found->second;
    return Resources::localized("UNKNOWN_MANUFACTURER", "");
}

}  // namespace RuduredOro
