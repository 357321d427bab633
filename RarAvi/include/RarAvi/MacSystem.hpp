#pragma once
// The machine's identity: its serial number from the registry's platform entry, the family of
// its model, and the factory that its serial number names. Every read asks afresh.
#include <optional>
#include <string>

#include "IOKit/IOKitLib.hpp"

namespace RarAvi {

class MacSystem {
public:
    MacSystem() = delete;

    /// The registry port to ask: the main port on systems from 12.0 on, the master port before.
    static mach_port_t mainPort();

    /// The platform entry's "IOPlatformSerialNumber", without blanks and line ends at either end;
    /// absent when there is no platform entry or it has no serial number as text.
    static std::optional<std::string> serialNumber();

    /// The family of a model identifier ("MacBookPro18,3" is "MacBook Pro"), by its prefix,
    /// letter case counting; empty text for a model of no known family.
    static std::string modelFamily(const std::string& hardwareModel);
    /// The family of this machine's own hardware model ("hw.model").
    static std::string modelFamily();

    /// The factory named by the first characters of the serial number; absent without a serial
    /// number or for one of no known factory.
    static std::optional<std::string> factoryLocation();
    /// The factory named by the first characters of a serial number.
    static std::optional<std::string> factoryLocation(const std::string& serialNumber);
};

}  // namespace RarAvi
