#include "RarAvi/MacSystem.hpp"


#include <array>
#include <cstdint>
#include <utility>

#include "Foundation/ProcessInfo.hpp"
#include "Foundation/StringTrimming.hpp"
#include "ZuzeDiv/System.hpp"

namespace RarAvi {

namespace {

/// Model prefixes and their families; longer prefixes come before the shorter ones they begin with.
constexpr std::array<std::pair<const char*, const char*>, 8> kFamilies{{
    {"iMacPro", "iMac Pro"},
    {"iMac", "iMac"},
    {"Macmini", "Mac Mini"},
    {"MacPro", "Mac Pro"},
    {"MacBookPro", "MacBook Pro"},
    {"MacBookAir", "MacBook Air"},
    {"MacBook", "MacBook"},
    {"Xserve", "Xserve"},
}};

/// Serial-number prefixes and their factories, tested in this order: the one-letter prefixes E
/// and F come after every longer prefix that begins with the same letter.
constexpr std::array<std::pair<const char*, const char*>, 34> kFactories{{
    {"FC", "Fountain Colorado, USA"},
    {"XA", "USA"},
    {"XB", "USA"},
    {"QP", "USA"},
    {"G8", "USA"},
    {"RN", "Mexico"},
    {"CK", "Cork, Ireland"},
    {"VM", "Foxconn, Pardubice, Czech Republic"},
    {"SG", "Singapore"},
    {"EE", "Taiwan"},
    {"E", "Singapore"},
    {"MB", "Malaysia"},
    {"PT", "Korea"},
    {"CY", "Korea"},
    {"QT", "Taiwan"},
    {"UV", "Taiwan"},
    {"FK", "Foxconn \u2013 Zhengzhou, China"},
    {"F1", "Foxconn \u2013 Zhengzhou, China"},
    {"F2", "Foxconn \u2013 Zhengzhou, China"},
    {"W8", "Shanghai China"},
    {"DL", "Foxconn \u2013 China"},
    {"DM", "Foxconn \u2013 China"},
    {"DN", "Foxconn, Chengdu, China"},
    {"YM", "Hon Hai/Foxconn, China"},
    {"7J", "Hon Hai/Foxconn, China"},
    {"1C", "China"},
    {"4H", "China"},
    {"WQ", "China"},
    {"F7", "China"},
    {"C0", "Tech Com \u2013 Quanta Computer Subsidiary, China"},
    {"C3", "Foxxcon, Shenzhen, China"},
    {"C7", "Pentragon, Changhai, China"},
    {"RM", "Refurbished/remanufactured"},
    {"F", "Fremont, California, USA"},
}};

}  // namespace

mach_port_t MacSystem::mainPort() {
    if (ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0})) return kIOMainPortDefault;
    return kIOMasterPortDefault;
}

std::optional<std::string> MacSystem::serialNumber() {
    io_service_t platform = IOServiceGetMatchingService(mainPort(), IOServiceMatching("IOPlatformExpertDevice"));
    if (platform == 0) return std::nullopt;
    CFTypeRef value = IORegistryEntryCreateCFProperty(platform, "IOPlatformSerialNumber", kCFAllocatorDefault, 0);
    IOObjectRelease(platform);
    auto serial = value ? value->stringValue() : std::nullopt;
    if (!serial) return std::nullopt;
    return trimmingCharacters(*serial, CharacterSet::whitespacesAndNewlines);
}

std::string MacSystem::modelFamily() { return modelFamily(ZuzeDiv::System::hardwareModel()); }

std::string MacSystem::modelFamily(const std::string& hardwareModel) {
    for (const auto& [prefix, family] : kFamilies) {
        if (hardwareModel.starts_with(prefix)) return family;
    }
    return {};
}

std::optional<std::string> MacSystem::factoryLocation() {
    auto serial = serialNumber();
    if (!serial) return std::nullopt;
    return factoryLocation(*serial);
}

std::optional<std::string> MacSystem::factoryLocation(const std::string& serialNumber) {
    for (const auto& [prefix, location] : kFactories) {
        if (serialNumber.starts_with(prefix)) return location;
    }
    return std::nullopt;
}

}  // namespace RarAvi
