#include "ZuzeDiv/System.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <vector>

#include "Foundation/Locale.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/PropertyList.hpp"
#include "Foundation/SystemRoot.hpp"
#include "ZuzeDiv/DateUtilities.hpp"
#include "ZuzeDiv/StringExtensions.hpp"

namespace ZuzeDiv {

namespace {
// A text kernel variable: its size first, then its bytes into a zeroed buffer, up to the first
// zero byte. Failing calls leave the buffer empty, which gives the empty text.
std::string kernelText(const char* name) {
    std::size_t size = 0;
    sysctlbyname(name, nullptr, &size, nullptr, 0);
    if (size == 0) return {};
    std::vector<char> buffer(size, '\0');
    sysctlbyname(name, buffer.data(), &size, nullptr, 0);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string replacingAll(std::string text, const std::string& word, const std::string& replacement) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + replacement.size()))
        text.replace(at, word.size(), replacement);
    return text;
}

// ISO Latin 1 bytes as UTF-8.
std::string fromLatin1(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> textEntry(const PropertyListValue::Dictionary& dictionary, const char* key) {
    auto it = dictionary.find(key);
    if (it == dictionary.end()) return std::nullopt;
    return it->second.stringValue();
}
}  // namespace

std::string System::hardwareModel() { return kernelText("hw.model"); }
std::string System::cpuBrand() { return kernelText("machdep.cpu.brand_string"); }

host_basic_info System::hostBasicInfo() {
    host_basic_info info{};
    mach_msg_type_number_t count = HOST_BASIC_INFO_COUNT;
    if (host_info(mach_host_self(), HOST_BASIC_INFO, reinterpret_cast<host_info_t>(&info), &count) != KERN_SUCCESS)
        info = host_basic_info{};
    return info;
}

std::string System::machine() {
    // The machine field with its trailing zero bytes dropped, read as ISO Latin 1.
    std::string field = SystemControl::machine();
    while (!field.empty() && field.back() == '\0') field.pop_back();
    return fromLatin1(field);
}

bool System::isAppleSilicon() { return machine() == "arm64"; }

std::string System::operatingSystemVersion() { return ProcessInfo::processInfo().operatingSystemVersionString(); }
std::string System::versionText() { return replacingAll(operatingSystemVersion(), "Version", emptyString()); }
std::string System::macOSVersionText() { return replacingAll(operatingSystemVersion(), "Version", "macOS"); }
int System::processorCount() { return ProcessInfo::processInfo().activeProcessorCount(); }
std::uint64_t System::physicalMemory() { return ProcessInfo::processInfo().physicalMemory(); }
int System::thermalState() { return static_cast<int>(ProcessInfo::processInfo().thermalState()); }

std::string System::uptime() {
    return DateUtilities::durationText(static_cast<std::int64_t>(ProcessInfo::processInfo().systemUptime()));
}

namespace {
const char* const attributesFolder = "/System/Library/PrivateFrameworks/ServerInformation.framework/Versions/A/Resources";

// The host's list of machine attributes in the current locale's language, with no fall-back to
// another language; a regular file of at most PropertyListSerialization::maximumFileSize bytes.
std::optional<AppleHardwareDetails> fromAttributeList() {
    auto language = Locale::current().languageCode();
    if (!language) return std::nullopt;
    const auto model = System::hardwareModel();
    const auto path = SystemRoot::resolve(std::string(attributesFolder) + "/" + *language + ".lproj" + "/SIMachineAttributes.plist");
    auto list = PropertyListSerialization::propertyList(path.string(), nullptr);
    if (!list) return std::nullopt;
    const auto* top = list->dictionaryValue();
    if (!top) return std::nullopt;
    auto entry = top->find(model);
    if (entry == top->end() || !entry->second.dictionaryValue()) return std::nullopt;
    const auto* localizable = entry->second.find("_LOCALIZABLE_");
    if (!localizable || !localizable->dictionaryValue()) return std::nullopt;
    const auto& texts = *localizable->dictionaryValue();
    for (const auto& [key, value] : texts) {
        if (!value.isString()) return std::nullopt;  // a dictionary of texts only
    }
    return AppleHardwareDetails{textEntry(texts, "processor"), textEntry(texts, "description"),
                                textEntry(texts, "marketingModel"), textEntry(texts, "model")};
}

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// The machine as its firmware describes it, and its processor.
std::optional<AppleHardwareDetails> fromFirmware() {
    auto vendor = SystemControl::firmwareField("sys_vendor");
    auto product = SystemControl::firmwareField("product_name");
    auto version = SystemControl::firmwareField("product_version");
    auto family = SystemControl::firmwareField("product_family");
    auto processor = System::cpuBrand();
    AppleHardwareDetails details;
    if (!processor.empty()) details.processor = processor;
    details.model = family ? family : product;
    auto withMaker = [&](const std::string& name) {
        return vendor && !startsWithIgnoringCase(name, *vendor) ? *vendor + " " + name : name;
    };
    // Some makers give a type number as the product and its name as version and family alike.
    if (auto name = version && version == family ? version : product) details.marketingModel = withMaker(*name);
    if (product) details.description = withMaker(*product) + (version ? " " + *version : "");
    if (details == AppleHardwareDetails{}) return std::nullopt;
    return details;
}
}  // namespace

std::optional<AppleHardwareDetails> AppleHardwareDetails::current() {
    std::error_code error;
    if (std::filesystem::is_directory(SystemRoot::resolve(attributesFolder), error)) return fromAttributeList();
    return fromFirmware();
}

void to_json(nlohmann::json& json, const AppleHardwareDetails& details) {
    json = nlohmann::json::object();
    if (details.processor) json["processor"] = *details.processor;
    if (details.description) json["description"] = *details.description;
    if (details.marketingModel) json["marketingModel"] = *details.marketingModel;
    if (details.model) json["model"] = *details.model;
}

void from_json(const nlohmann::json& json, AppleHardwareDetails& details) {
    auto field = [&](const char* key) -> std::optional<std::string> {
        if (!json.contains(key) || json.at(key).is_null()) return std::nullopt;
        return json.at(key).get<std::string>();
    };
    details.processor = field("processor");
    details.description = field("description");
    details.marketingModel = field("marketingModel");
    details.model = field("model");
}

}  // namespace ZuzeDiv
