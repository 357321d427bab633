#pragma once
// Facts about the machine and its operating system, read afresh on every call.
#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "Foundation/SystemControl.hpp"

namespace ZuzeDiv {

class System {
public:
    System() = delete;

    /// The machine's model identifier (kernel variable "hw.model"); empty when unreadable.
    static std::string hardwareModel();
    /// The processor's brand name ("machdep.cpu.brand_string"); empty when unreadable.
    static std::string cpuBrand();
    /// The host's basic information record; all zero when it cannot be read.
    static host_basic_info hostBasicInfo();
    /// The hardware architecture ("arm64", "x86_64").
    static std::string machine();
    static bool isAppleSilicon();
    /// The operating system's version text ("Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64").
    static std::string operatingSystemVersion();
    /// The version text with every "Version" removed.
    static std::string versionText();
    /// The version text with every "Version" replaced by "macOS".
    static std::string macOSVersionText();
    static int processorCount();
    /// Bytes.
    static std::uint64_t physicalMemory();
    /// Nominal 0, fair 1, serious 2, critical 3.
    static int thermalState();
    /// The time since the machine started, in whole seconds, as a duration text.
    static std::string uptime();
};

/// The marketing description of the machine's model: from the operating system's list of machine
/// attributes in the user's language where the host has one, else from the firmware's description
/// of the machine (its maker, product name, version and family) and the processor's name.
struct AppleHardwareDetails {
    std::optional<std::string> processor;
    std::optional<std::string> description;
    std::optional<std::string> marketingModel;
    std::optional<std::string> model;

    /// The details of this machine. With a list of machine attributes: in the current locale's
    /// language; absent when the list for that language is missing, unreadable or no regular file
    /// of at most 16 MiB, does not know the model, or has an entry of another shape. From the
    /// firmware: each field absent where its source cannot be read; absent as a whole when none can.
    static std::optional<AppleHardwareDetails> current();

    bool operator==(const AppleHardwareDetails&) const = default;
};

/// Keyed coding: each field under its own name, written and read only when present.
void to_json(nlohmann::json& json, const AppleHardwareDetails& details);
void from_json(const nlohmann::json& json, AppleHardwareDetails& details);

}  // namespace ZuzeDiv
