#include "backends/HostSystemVersion.hpp"

#include <map>
#include <optional>
#include <sstream>

#include "Foundation/SystemControl.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace hostsystem {

namespace {

constexpr std::size_t maximumOSReleaseSize = std::size_t{64} << 10;

// A value of os-release: shell-quoted in double or single quotes, or bare.
std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') return value.substr(1, value.size() - 2);
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return value;
    std::string text;
    for (std::size_t at = 1; at + 1 < value.size(); ++at) {
        if (value[at] == '\\' && at + 2 < value.size()) ++at;
        text += value[at];
    }
    return text;
}

std::optional<std::map<std::string, std::string>> readOSRelease() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        auto text = RegularFile::contents(SystemRoot::resolve(path), maximumOSReleaseSize);
        if (!text) continue;
        std::istringstream file(*text);
        std::map<std::string, std::string> fields;
        std::string line;
        while (std::getline(file, line)) {
            auto equals = line.find('=');
            if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
            fields[line.substr(0, equals)] = unquoted(line.substr(equals + 1));
        }
        return fields;
    }
    return std::nullopt;
}

std::string field(const std::map<std::string, std::string>& fields, const char* key) {
    auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
}

}  // namespace

std::string versionText() {
    std::string name = "Linux";  // what os-release means when it says nothing
    if (auto fields = readOSRelease()) {
        if (auto pretty = field(*fields, "PRETTY_NAME"); !pretty.empty()) {
            name = pretty;
        } else {
            if (auto given = field(*fields, "NAME"); !given.empty()) name = given;
            auto version = field(*fields, "VERSION");
            if (version.empty()) version = field(*fields, "VERSION_ID");
            if (!version.empty()) name += " " + version;
        }
    }
    auto kernel = SystemControl::stringValue("kern.osrelease").value_or("");
    return kernel.empty() ? name : name + ", kernel " + kernel;
}

}  // namespace hostsystem
