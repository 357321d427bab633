#include "backends/HostTimeZone.hpp"

#include <unicode/timezone.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "Foundation/SystemRoot.hpp"
#include "Foundation/StringTrimming.hpp"
#include "backends/PosixTimeZoneRule.hpp"

namespace hosttz {

namespace {

namespace fs = std::filesystem;

bool isKnownZone(const std::string& name) {
    if (name.empty()) return false;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name)));
    return *zone != icu::TimeZone::getUnknown();
}

std::optional<std::string> usable(const std::string& identifier) {
    if (isKnownZone(identifier) || posixtz::zone(identifier)) return identifier;
    return std::nullopt;
}

// "/usr/share/zoneinfo/Europe/Berlin", "../usr/share/zoneinfo/posix/Europe/Berlin" -> "Europe/Berlin".
std::optional<std::string> zoneNameOfPath(const std::string& path) {
    auto at = path.rfind("zoneinfo/");
    if (at == std::string::npos) return std::nullopt;
    std::string name = path.substr(at + 9);
    for (const char* variant : {"posix/", "right/"}) {
        if (name.starts_with(variant)) name.erase(0, std::string(variant).size());
    }
    return isKnownZone(name) ? std::optional(name) : std::nullopt;
}

// The rule a zone file of version 2 or later ends with, on a line of its own, for the times after
// its last listed change.
std::optional<std::string> ruleOfZoneFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 6 || !bytes.starts_with("TZif") || bytes[4] < '2' || bytes.back() != '\n') return std::nullopt;
    auto lineStart = bytes.rfind('\n', bytes.size() - 2);
    if (lineStart == std::string::npos) return std::nullopt;
    return usable(bytes.substr(lineStart + 1, bytes.size() - lineStart - 2));
}

std::optional<std::string> zoneOfTimezoneFile() {
    std::ifstream file(SystemRoot::resolve("/etc/timezone"));
    std::string line;
    if (!file || !std::getline(file, line)) return std::nullopt;
    auto name = trimmingCharacters(line, CharacterSet::whitespacesAndNewlines);
    return isKnownZone(name) ? std::optional(name) : std::nullopt;
}

// A local-time file: the zone its link names, else the one /etc/timezone names, else the rule the
// file itself ends with.
std::optional<std::string> zoneOfLocaltime(const fs::path& file) {
    std::error_code error;
    auto target = fs::read_symlink(file, error);
    if (!error) {
        if (auto name = zoneNameOfPath(target.string())) return name;
    } else if (!fs::exists(file, error)) {
        return std::nullopt;
    }
    if (auto named = zoneOfTimezoneFile()) return named;
    return ruleOfZoneFile(file);
}

// The value of TZ: a zone name, a POSIX rule, or a zone file (with or without a leading colon).
// A value none of them reads as the C library does: as UTC.
std::string zoneOfVariable(std::string value) {
    if (value.starts_with(':')) value.erase(0, 1);
    if (value.empty()) return "UTC";
    if (value.starts_with('/')) {
        if (auto name = zoneNameOfPath(value)) return *name;
        return zoneOfLocaltime(SystemRoot::resolve(value)).value_or("UTC");
    }
    return usable(value).value_or("UTC");
}

}  // namespace

std::string identifier() {
    if (const char* variable = std::getenv("TZ")) return zoneOfVariable(variable);
    if (auto zone = zoneOfLocaltime(SystemRoot::resolve("/etc/localtime"))) return *zone;
    if (auto named = zoneOfTimezoneFile()) return *named;
    return "UTC";
}

}  // namespace hosttz
