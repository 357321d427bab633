#pragma once
// Kernel facts in the host's own shapes, read on Linux from uname, sysconf, sysinfo, /proc and
// /sys (the files under the system root, read only where they are regular files: a firmware field
// up to a page, /proc/cpuinfo up to 16 MiB): kernel variables by name (sysctlbyname), the host's
// basic information record (host_info), the machine's architecture as the host names it ("arm64",
// "x86_64") and the firmware's description of the machine. Each kernel variable and the
// architecture may be set by tests and demos; a set value wins over what the machine says.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "Foundation/MachTypes.hpp"

class SystemControl {
public:
    SystemControl() = delete;

    /// A text kernel variable: "hw.model" (the machine's model name), "machdep.cpu.brand_string"
    /// (the processor's name), "hw.machine", "kern.ostype", "kern.osrelease", "kern.version",
    /// "kern.hostname". Absent for a name the host does not know.
    static std::optional<std::string> stringValue(const std::string& name);
    static void setStringValue(const std::string& name, const std::optional<std::string>& value);

    /// A field of the firmware's description of the machine (DMI: "sys_vendor", "product_name",
    /// "product_version", "product_family"...); absent where it cannot be read (the serial number
    /// is readable by root only) or holds a maker's placeholder ("To Be Filled By O.E.M.").
    static std::optional<std::string> firmwareField(const std::string& name);

    /// The architecture of the machine, as the host names it.
    static std::string machine();
    static void setMachine(const std::optional<std::string>& machine);
    /// The host's name of a Linux architecture: "aarch64" (and "arm64") is "arm64"; others stay.
    static std::string hostArchitecture(const std::string& linuxMachine);

    /// Forgets every set value.
    static void reset();
};

/// Reads a kernel variable: with `oldp` null, stores its size (text length plus the closing zero
/// byte) in `*oldlenp`; otherwise copies at most `*oldlenp` bytes. Returns 0, or -1 for an unknown
/// name or a buffer too small. Variables cannot be written here (`newp` must be null).
int sysctlbyname(const char* name, void* oldp, std::size_t* oldlenp, const void* newp, std::size_t newlen);

// The host's basic information record: processors, processor kind and memory sizes.
using host_t = unsigned int;
using host_flavor_t = int;
using host_info_t = int*;
constexpr host_flavor_t HOST_BASIC_INFO = 1;

struct host_basic_info {
    int max_cpus;
    int avail_cpus;
    /// Bytes of memory, capped at 2 GiB; max_mem holds the full size.
    unsigned int memory_size;
    int cpu_type;
    int cpu_subtype;
    int cpu_threadtype;
    int physical_cpu;
    int physical_cpu_max;
    int logical_cpu;
    int logical_cpu_max;
    std::uint64_t max_mem;
};
constexpr mach_msg_type_number_t HOST_BASIC_INFO_COUNT = sizeof(host_basic_info) / sizeof(int);

host_t mach_host_self();
/// Fills the record for HOST_BASIC_INFO when `*count` is at least HOST_BASIC_INFO_COUNT.
kern_return_t host_info(host_t host, host_flavor_t flavor, host_info_t info, mach_msg_type_number_t* count);
