#include "IOKit/HardwareProfile.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <system_error>

#include "Foundation/backends/RegularFile.hpp"

namespace {

using Entry = std::shared_ptr<const IORegistryEntry>;

std::string describe(std::size_t index) { return "registry entry " + std::to_string(index); }

std::string textField(const nlohmann::json& object, const char* key, std::size_t index, bool required) {
    auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        if (required) throw HardwareProfileError(describe(index) + " has no \"" + key + "\"");
        return {};
    }
    if (!found->is_string()) throw HardwareProfileError(describe(index) + ": \"" + key + "\" must be a text");
    return found->get<std::string>();
}

/// Whether the arrays and objects of JSON text nest deeper than `limit` (texts are skipped).
bool nestsDeeperThan(const std::string& text, std::size_t limit) {
    std::size_t depth = 0;
    bool inText = false, escaped = false;
    for (char c : text) {
        if (inText) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inText = false;
        } else if (c == '"') {
            inText = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

}  // namespace

std::optional<std::filesystem::path> HardwareProfile::path() {
    const char* value = std::getenv(environmentVariable);
    if (!value || !*value) return std::nullopt;
    return std::filesystem::path(value);
}

std::string HardwareProfile::readText(const std::filesystem::path& file) {
    // Only a regular file is read: a FIFO or a device at the path is refused without waiting on it.
    std::error_code error;
    auto contents = RegularFile::contents(file, maximumSize, &error);
    if (!contents && error == std::errc::file_too_large) {
        throw HardwareProfileError("hardware profile " + file.string() + " is larger than " +
                                   std::to_string(maximumSize / (1024 * 1024)) + " MiB");
    }
    if (!contents) {
        const auto reason = error == std::errc::invalid_argument ? std::string("not a regular file") : error.message();
        throw HardwareProfileError("cannot read hardware profile " + file.string() + ": " + reason);
    }
    std::string text = std::move(*contents);
    if (nestsDeeperThan(text, maximumNesting)) {
        throw HardwareProfileError("hardware profile " + file.string() + " nests deeper than " +
                                   std::to_string(maximumNesting) + " levels");
    }
    return text;
}

nlohmann::json HardwareProfile::read(const std::filesystem::path& file) {
    nlohmann::json profile = nlohmann::json::parse(readText(file), nullptr, false);
    if (profile.is_discarded()) throw HardwareProfileError("hardware profile " + file.string() + " is not valid JSON");
    if (!profile.is_object()) throw HardwareProfileError("hardware profile " + file.string() + " is not a JSON object");
    return profile;
}

std::optional<CFValue> HardwareProfile::registryValue(const nlohmann::json& value) {
    switch (value.type()) {
    case nlohmann::json::value_t::null:
    case nlohmann::json::value_t::discarded:
        return std::nullopt;
    case nlohmann::json::value_t::boolean:
        return CFValue(value.get<bool>());
    case nlohmann::json::value_t::number_integer:
        return CFValue(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned: {
        auto number = value.get<std::uint64_t>();
        // Above the signed range only a floating-point number can hold it.
        if (number > static_cast<std::uint64_t>(INT64_MAX)) return CFValue(static_cast<double>(number));
        return CFValue(static_cast<std::int64_t>(number));
    }
    case nlohmann::json::value_t::number_float:
        return CFValue(value.get<double>());
    case nlohmann::json::value_t::string:
        return CFValue(value.get<std::string>());
    case nlohmann::json::value_t::binary:
        return CFValue(Data(value.get_binary().begin(), value.get_binary().end()));
    case nlohmann::json::value_t::array: {
        CFArray array;
        for (const auto& element : value) {
            if (auto converted = registryValue(element)) array.push_back(std::move(*converted));
        }
        return CFValue(std::move(array));
    }
    case nlohmann::json::value_t::object: {
        CFDictionary dictionary;
        for (const auto& [key, element] : value.items()) {
            if (auto converted = registryValue(element)) dictionary.set(CFValue(key), std::move(*converted));
        }
        return CFValue(std::move(dictionary));
    }
    }
    return std::nullopt;
}

std::vector<Entry> HardwareProfile::registryEntries(const nlohmann::json& profile) {
    if (!profile.is_object()) throw HardwareProfileError("a hardware profile is a JSON object");
    auto registry = profile.find("registry");
    if (registry == profile.end() || registry->is_null()) return {};
    if (!registry->is_array()) throw HardwareProfileError("\"registry\" must be an array");

    // First pass: check every entry and note the ids (a parent may come later in the file).
    std::map<std::string, std::size_t> ids;
    std::vector<std::string> parents(registry->size());
    for (std::size_t index = 0; index < registry->size(); ++index) {
        const auto& item = (*registry)[index];
        if (!item.is_object()) throw HardwareProfileError(describe(index) + " must be a JSON object");
        textField(item, "class", index, true);
        if (auto id = textField(item, "id", index, false); !id.empty()) {
            if (!ids.emplace(id, index).second) throw HardwareProfileError("two registry entries have the id \"" + id + "\"");
        }
        parents[index] = textField(item, "parent", index, false);
        auto superclasses = item.find("superclasses");
        if (superclasses != item.end() && !superclasses->is_null()) {
            if (!superclasses->is_array()) throw HardwareProfileError(describe(index) + ": \"superclasses\" must be an array");
            for (const auto& name : *superclasses) {
                if (!name.is_string()) throw HardwareProfileError(describe(index) + ": \"superclasses\" must hold texts");
            }
        }
        auto properties = item.find("properties");
        if (properties != item.end() && !properties->is_null() && !properties->is_object()) {
            throw HardwareProfileError(describe(index) + ": \"properties\" must be a JSON object");
        }
    }

    // Every chain of parents ends within a few links: the entries are made, and let go of, link by
    // link.
    for (std::size_t index = 0; index < registry->size(); ++index) {
        std::set<std::size_t> seen{index};
        std::size_t at = index;
        for (std::size_t links = 1; !parents[at].empty(); ++links) {
            auto parent = ids.find(parents[at]);
            if (parent == ids.end()) break;  // told when the entry is made
            at = parent->second;
            if (!seen.insert(at).second) throw HardwareProfileError(describe(at) + " is its own ancestor");
            if (links > maximumNesting) {
                throw HardwareProfileError(describe(index) + " has more than " + std::to_string(maximumNesting) +
                                           " ancestors");
            }
        }
    }

    // Second pass: make the entries, each parent before its children.
    std::vector<Entry> made(registry->size());
    auto make = [&](auto&& self, std::size_t index) -> Entry {
        if (made[index]) return made[index];
        const auto& item = (*registry)[index];
        auto entry = std::make_shared<IORegistryEntry>();
        entry->className = item.at("class").get<std::string>();
        if (auto superclasses = item.find("superclasses"); superclasses != item.end() && superclasses->is_array()) {
            for (const auto& name : *superclasses) entry->superclasses.push_back(name.get<std::string>());
        }
        if (auto properties = item.find("properties"); properties != item.end() && properties->is_object()) {
            if (auto converted = registryValue(*properties)) entry->properties = *converted->dictionaryValue();
        }
        if (!parents[index].empty()) {
            auto parent = ids.find(parents[index]);
            if (parent == ids.end()) {
                throw HardwareProfileError(describe(index) + " names the parent \"" + parents[index] + "\", which no entry has as id");
            }
            entry->parent = self(self, parent->second);
        }
        made[index] = entry;
        return made[index];
    };
    for (std::size_t index = 0; index < registry->size(); ++index) make(make, index);
    return made;
}

CFArray HardwareProfile::powerSources(const nlohmann::json& profile) {
    if (!profile.is_object()) throw HardwareProfileError("a hardware profile is a JSON object");
    auto sources = profile.find("powerSources");
    if (sources == profile.end() || sources->is_null()) return {};
    if (!sources->is_array()) throw HardwareProfileError("\"powerSources\" must be an array");
    CFArray result;
    for (const auto& source : *sources) {
        if (!source.is_object()) throw HardwareProfileError("a power source must be a JSON object");
        result.push_back(*registryValue(source));
    }
    return result;
}

namespace {

/// The registry and power sources of a profile file; a shape it cannot have is told with the file's name.
std::pair<std::vector<Entry>, CFArray> registryOf(const std::filesystem::path& file) {
    auto profile = HardwareProfile::read(file);
    try {
        return {HardwareProfile::registryEntries(profile), HardwareProfile::powerSources(profile)};
    } catch (const HardwareProfileError& error) {
        throw HardwareProfileError("hardware profile " + file.string() + ": " + error.what());
    }
}

}  // namespace

HardwareProfileProvider::HardwareProfileProvider(const std::filesystem::path& file)
    : HardwareProfileProvider(registryOf(file)) {}

HardwareProfileProvider::HardwareProfileProvider(std::pair<std::vector<Entry>, CFArray> registry)
    : StaticRegistryProvider(std::move(registry.first), std::move(registry.second)) {}
