#include "Foundation/SystemControl.hpp"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace {
std::mutex settingsMutex;
std::map<std::string, std::optional<std::string>> variableSettings;
std::optional<std::string> machineSetting;

// Processor kinds of the host's record.
constexpr int cpuTypeX86_64 = 0x01000007;
constexpr int cpuTypeArm64 = 0x0100000C;

std::string trimmed(std::string text) {
    auto start = text.find_first_not_of(" \t\r\n");
    auto end = text.find_last_not_of(" \t\r\n");
    return start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

// Firmware fields and the device tree's model are a page at most; /proc/cpuinfo is far longer on
// machines with thousands of processors.
constexpr std::size_t maximumFieldSize = 4096;
constexpr std::size_t maximumCpuinfoSize = std::size_t{16} << 20;

std::optional<std::string> readFirstLine(const char* path) {
    auto text = RegularFile::contents(SystemRoot::resolve(path), maximumFieldSize);
    if (!text) return std::nullopt;
    std::string line = trimmed(text->substr(0, std::min(text->find('\0'), text->find('\n'))));
    if (line.empty()) return std::nullopt;
    return line;
}

// The lines of /proc/cpuinfo; none when it cannot be read.
std::istringstream cpuinfo() {
    return std::istringstream(RegularFile::contents(SystemRoot::resolve("/proc/cpuinfo"), maximumCpuinfoSize).value_or(""));
}

// The value of the first "key : value" line of /proc/cpuinfo with one of the keys.
std::optional<std::string> cpuinfoValue(std::initializer_list<const char*> keys) {
    auto file = cpuinfo();
    std::string line;
    while (std::getline(file, line)) {
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        auto key = trimmed(line.substr(0, colon));
        for (const char* wanted : keys) {
            if (key == wanted) {
                auto value = trimmed(line.substr(colon + 1));
                if (!value.empty()) return value;
            }
        }
    }
    return std::nullopt;
}


std::optional<std::string> machineVariable(const std::string& name) {
    utsname record{};
    if (::uname(&record) != 0) return std::nullopt;
    if (name == "kern.ostype") return std::string(record.sysname);
    if (name == "kern.osrelease") return std::string(record.release);
    if (name == "kern.version") return std::string(record.version);
    if (name == "kern.hostname") return std::string(record.nodename);
    if (name == "hw.machine") return SystemControl::machine();
    if (name == "hw.model") {
        if (auto product = SystemControl::firmwareField("product_name")) return product;
        if (auto model = readFirstLine("/proc/device-tree/model")) return model;
        return SystemControl::machine();
    }
    if (name == "machdep.cpu.brand_string") {
        if (auto brand = cpuinfoValue({"model name", "Model", "Hardware", "cpu model"})) return brand;
        return std::string();
    }
    return std::nullopt;
}
}  // namespace

std::optional<std::string> SystemControl::stringValue(const std::string& name) {
    {
        std::lock_guard lock(settingsMutex);
        if (auto it = variableSettings.find(name); it != variableSettings.end()) return it->second;
    }
    return machineVariable(name);
}

void SystemControl::setStringValue(const std::string& name, const std::optional<std::string>& value) {
    std::lock_guard lock(settingsMutex);
    variableSettings[name] = value;
}

std::optional<std::string> SystemControl::firmwareField(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    auto value = readFirstLine(("/sys/class/dmi/id/" + name).c_str());
    if (!value) return std::nullopt;
    // What makers leave in the fields they do not fill.
    std::string lower = *value;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* placeholder : {"to be filled by o.e.m.", "default string", "system product name", "system version",
                                    "system manufacturer", "not applicable", "not specified", "none", "o.e.m.",
                                    "type1productconfigid", "0123456789", "undefined"}) {
        if (lower == placeholder) return std::nullopt;
    }
    return value;
}

std::string SystemControl::hostArchitecture(const std::string& linuxMachine) {
    if (linuxMachine == "aarch64" || linuxMachine == "arm64") return "arm64";
    return linuxMachine;
}

std::string SystemControl::machine() {
    {
        std::lock_guard lock(settingsMutex);
        if (machineSetting) return *machineSetting;
    }
    utsname record{};
    if (::uname(&record) != 0) return {};
    return hostArchitecture(record.machine);
}

void SystemControl::setMachine(const std::optional<std::string>& machine) {
    std::lock_guard lock(settingsMutex);
    machineSetting = machine;
}

void SystemControl::reset() {
    std::lock_guard lock(settingsMutex);
    variableSettings.clear();
    machineSetting.reset();
}

int sysctlbyname(const char* name, void* oldp, std::size_t* oldlenp, const void* newp, std::size_t) {
    if (!name || !oldlenp || newp) return -1;
    auto value = SystemControl::stringValue(name);
    if (!value) return -1;
    const std::size_t size = value->size() + 1;
    if (!oldp) {
        *oldlenp = size;
        return 0;
    }
    if (*oldlenp < size) {
        std::memcpy(oldp, value->data(), std::min(*oldlenp, value->size()));
        return -1;
    }
    std::memcpy(oldp, value->c_str(), size);
    *oldlenp = size;
    return 0;
}

host_t mach_host_self() { return 1; }

kern_return_t host_info(host_t host, host_flavor_t flavor, host_info_t info, mach_msg_type_number_t* count) {
    if (host == 0 || flavor != HOST_BASIC_INFO || !info || !count || *count < HOST_BASIC_INFO_COUNT) return KERN_FAILURE;
    host_basic_info record{};
    auto& process = ProcessInfo::processInfo();
    record.max_cpus = process.processorCount();
    record.avail_cpus = process.activeProcessorCount();
    record.max_mem = process.physicalMemory();
    record.memory_size = static_cast<unsigned int>(std::min<std::uint64_t>(record.max_mem, 0x80000000ull));
    record.cpu_type = SystemControl::machine() == "arm64" ? cpuTypeArm64 : cpuTypeX86_64;
    record.cpu_subtype = 0;
    record.cpu_threadtype = 0;
    // Physical cores: distinct (package, core) pairs of /proc/cpuinfo; the logical count without it.
    std::set<std::pair<std::string, std::string>> cores;
    {
        auto file = cpuinfo();
        std::string line, package, core;
        while (std::getline(file, line)) {
            auto colon = line.find(':');
            if (colon == std::string::npos) {
                if (!core.empty()) cores.emplace(package, core);
                package.clear();
                core.clear();
                continue;
            }
            auto key = trimmed(line.substr(0, colon));
            if (key == "physical id") package = trimmed(line.substr(colon + 1));
            if (key == "core id") core = trimmed(line.substr(colon + 1));
        }
        if (!core.empty()) cores.emplace(package, core);
    }
    record.logical_cpu = record.avail_cpus;
    record.logical_cpu_max = record.max_cpus;
    record.physical_cpu = cores.empty() ? record.avail_cpus : static_cast<int>(cores.size());
    record.physical_cpu_max = cores.empty() ? record.max_cpus : static_cast<int>(cores.size());
    std::memcpy(info, &record, sizeof record);
    *count = HOST_BASIC_INFO_COUNT;
    return KERN_SUCCESS;
}
