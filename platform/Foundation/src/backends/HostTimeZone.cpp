#include "backends/HostTimeZone.hpp"

#include <unicode/timezone.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "Foundation/StringTrimming.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace hosttz {

namespace {

namespace fs = std::filesystem;

std::shared_ptr<const TimeZoneRules> utcRules() {
    return std::make_shared<const TimeZoneRules>(*PosixTimeZoneRule::parse("UTC0"));
}

// What a zone file's place holds: nothing, a zone file, or something that is none (a damaged
// file, a folder, a pipe), which the C library reads as UTC.
struct ZoneFile {
    bool exists = false;
    std::shared_ptr<const TimeZoneRules> rules;  // empty when damaged
};

ZoneFile zoneFileAt(const fs::path& file) {
    std::error_code error;
    if (!fs::exists(file, error)) return {};
    auto rules = TimeZoneRules::readZoneFile(file);
    return {true, rules ? std::make_shared<const TimeZoneRules>(std::move(*rules)) : nullptr};
}

// Where zone files are found by name: $TZDIR, else the database's folder.
fs::path zoneFolder() {
    const char* folder = std::getenv("TZDIR");
    if (folder && *folder) return folder;
    return SystemRoot::resolve("/usr/share/zoneinfo");
}

// The place of a name's zone file under the zone folder; none for an empty name or a path.
fs::path zoneFilePath(const std::string& name) {
    if (name.empty() || name.starts_with('/')) return {};
    return zoneFolder() / name;
}

ZoneFile zoneFileNamed(const std::string& name) { return zoneFileAt(zoneFilePath(name)); }

bool icuKnows(const std::string& name) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name)));
    return *zone != icu::TimeZone::getUnknown();
}

// Whether the system or ICU has a zone of the name; its zone file is only looked for, not read.
bool isZoneName(const std::string& name) {
    std::error_code error;
    return fs::exists(zoneFilePath(name), error) || (!name.empty() && icuKnows(name));
}

// A zone's name without the folders of its variants: "posix/Europe/Berlin" -> "Europe/Berlin".
std::string plainName(std::string name) {
    for (const char* variant : {"posix/", "right/"}) {
        if (name.starts_with(variant)) name.erase(0, std::string(variant).size());
    }
    return name;
}

// "/usr/share/zoneinfo/Europe/Berlin", "../usr/share/zoneinfo/posix/Europe/Berlin" -> "Europe/Berlin".
std::optional<std::string> zoneNameOfPath(const std::string& path) {
    auto at = path.rfind("zoneinfo/");
    if (at == std::string::npos) return std::nullopt;
    return plainName(path.substr(at + 9));
}

// The zone a link names: /etc/localtime -> /usr/share/zoneinfo/Europe/Berlin.
std::optional<std::string> zoneNameOfLink(const fs::path& file) {
    std::error_code error;
    auto target = fs::read_symlink(file, error);
    if (error) return std::nullopt;
    return zoneNameOfPath(target.string());
}

std::optional<std::string> zoneOfTimezoneFile() {
    // A zone's name is one short line: only the file's first bytes are read.
    constexpr std::size_t longestLine = 256;
    auto text = RegularFile::firstBytes(SystemRoot::resolve("/etc/timezone"), longestLine);
    std::istringstream lines(text.value_or(""));
    std::string line;
    if (!std::getline(lines, line)) return std::nullopt;
    auto name = trimmingCharacters(line, CharacterSet::whitespacesAndNewlines);
    return isZoneName(name) ? std::optional(name) : std::nullopt;
}

// A zone file given by its path, as TZ or /etc/localtime gives it: its rules, named after the zone
// its path or link names, else the one `otherName` gives, else the rule it ends with; UTC when it
// is damaged. Where no file is, the zone its path or link names, if any.
std::optional<Zone> zoneOfPath(const std::string& path, std::optional<std::string> (*otherName)()) {
    const fs::path file = SystemRoot::resolve(path);
    auto name = zoneNameOfPath(path);
    if (!name) name = zoneNameOfLink(file);
    const ZoneFile zone = zoneFileAt(file);
    if (zone.exists) {
        if (!zone.rules) return Zone{"UTC", nullptr};
        if (!name && otherName) name = otherName();
        if (!name && zone.rules->rule()) name = zone.rules->rule()->text();
        return Zone{name.value_or(file.filename().string()), zone.rules};
    }
    if (name && isZoneName(*name)) return Zone{*name, rulesNamed(*name)};
    return std::nullopt;
}

// The value of TZ, read as the C library reads it: a zone file first, else a POSIX rule, else UTC.
// A name the system has no file for but ICU knows keeps ICU's rules.
Zone zoneOfVariable(std::string value) {
    if (value.starts_with(':')) value.erase(0, 1);
    if (value.starts_with('/')) return zoneOfPath(value, nullptr).value_or(Zone{"UTC", nullptr});
    const ZoneFile zone = zoneFileNamed(value);
    if (zone.exists) return zone.rules ? Zone{plainName(value), zone.rules} : Zone{"UTC", nullptr};
    if (auto rule = PosixTimeZoneRule::parse(value)) return {value, std::make_shared<const TimeZoneRules>(std::move(*rule))};
    if (!value.empty() && icuKnows(value)) return {value, nullptr};
    return {"UTC", nullptr};
}

}  // namespace

std::shared_ptr<const TimeZoneRules> rulesNamed(const std::string& name) {
    const ZoneFile zone = zoneFileNamed(name);
    if (zone.exists) return zone.rules ? zone.rules : utcRules();
    if (auto rule = PosixTimeZoneRule::parse(name)) return std::make_shared<const TimeZoneRules>(std::move(*rule));
    return nullptr;
}

Zone current() {
    if (const char* variable = std::getenv("TZ")) return zoneOfVariable(variable);
    if (auto zone = zoneOfPath("/etc/localtime", zoneOfTimezoneFile)) return *zone;
    if (auto name = zoneOfTimezoneFile()) return {*name, rulesNamed(*name)};
    return {"UTC", nullptr};
}

}  // namespace hosttz
