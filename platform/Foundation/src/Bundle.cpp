#include "Foundation/Bundle.hpp"

#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>

#include "Foundation/FatalError.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace fs = std::filesystem;

namespace {
std::mutex mainMutex;
std::shared_ptr<Bundle>& mainBundleSlot() {
    static std::shared_ptr<Bundle>* slot = new std::shared_ptr<Bundle>();
    return *slot;
}

fs::path executablePath() {
    std::error_code error;
    auto path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() / "unknown" : path;
}

void appendUtf8(std::string& out, char32_t c) { icu::UnicodeString(static_cast<UChar32>(c)).toUTF8String(out); }

// Files in UTF-16 (with a byte-order mark) are turned into UTF-8 first.
std::string toUtf8(const std::string& bytes) {
    if (bytes.size() < 2) return bytes;
    auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    bool little = b0 == 0xFF && b1 == 0xFE, big = b0 == 0xFE && b1 == 0xFF;
    if (!little && !big) {
        if (bytes.size() >= 3 && b0 == 0xEF && b1 == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
            return bytes.substr(3);
        return bytes;
    }
    icu::UnicodeString text(bytes.data() + 2, static_cast<int32_t>(bytes.size() - 2), little ? "UTF-16LE" : "UTF-16BE");
    std::string out;
    text.toUTF8String(out);
    return out;
}


class StringsReader {
public:
    explicit StringsReader(const std::string& text) : s_(text) {}

    std::optional<std::map<std::string, std::string>> read() {
        std::map<std::string, std::string> table;
        for (;;) {
            if (!skipSpace()) return std::nullopt;
            if (i_ >= s_.size()) return table;
            auto key = token();
            if (!key || !skipSpace()) return std::nullopt;
            if (i_ < s_.size() && s_[i_] == ';') {  // "key"; stands for "key" = "key";
                ++i_;
                table[*key] = *key;
                continue;
            }
            if (i_ >= s_.size() || s_[i_] != '=') return std::nullopt;
            ++i_;
            if (!skipSpace()) return std::nullopt;
            auto value = token();
            if (!value || !skipSpace() || i_ >= s_.size() || s_[i_] != ';') return std::nullopt;
            ++i_;
            table[*key] = *value;
        }
    }

private:
    bool skipSpace() {
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++i_;
            } else if (s_.compare(i_, 2, "//") == 0) {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            } else if (s_.compare(i_, 2, "/*") == 0) {
                auto end = s_.find("*/", i_ + 2);
                if (end == std::string::npos) return false;
                i_ = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    std::optional<std::string> token() {
        if (i_ >= s_.size()) return std::nullopt;
        if (s_[i_] != '"') {  // an unquoted word
            std::size_t start = i_;
            while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' ||
                                      s_[i_] == '.' || s_[i_] == '-' || s_[i_] == '$' || s_[i_] == '/'))
                ++i_;
            if (start == i_) return std::nullopt;
            return s_.substr(start, i_ - start);
        }
        ++i_;
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) return std::nullopt;
            char e = s_[i_++];
            switch (e) {
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case 'U':
                case 'u': {
                    if (i_ + 4 > s_.size()) return std::nullopt;
                    char32_t code = static_cast<char32_t>(std::stoul(s_.substr(i_, 4), nullptr, 16));
                    i_ += 4;
                    if (code >= 0xD800 && code < 0xDC00 && s_.compare(i_, 2, "\\U") == 0 && i_ + 6 <= s_.size()) {
                        char32_t low = static_cast<char32_t>(std::stoul(s_.substr(i_ + 2, 4), nullptr, 16));
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                        i_ += 6;
                    }
                    appendUtf8(out, code);
                    break;
                }
                default: out += e; break;
            }
        }
        if (i_ >= s_.size()) return std::nullopt;
        ++i_;
        return out;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};
}  // namespace

std::optional<std::map<std::string, std::string>> parseStringsTable(const std::string& text) {
    try {
        return StringsReader(text).read();
    } catch (const std::exception&) {  // a malformed \U escape
        return std::nullopt;
    }
}

std::shared_ptr<Bundle> Bundle::main() {
    std::lock_guard lock(mainMutex);
    auto& slot = mainBundleSlot();
    if (!slot) slot = std::make_shared<Bundle>(executablePath().parent_path());
    return slot;
}

void Bundle::setMainPath(const fs::path& path) {
    std::lock_guard lock(mainMutex);
    mainBundleSlot() = path.empty() ? nullptr : std::make_shared<Bundle>(path);
}

std::shared_ptr<Bundle> Bundle::atPath(const fs::path& path) {
    std::error_code error;
    if (path.empty() || !fs::is_directory(path, error)) return nullptr;
    return std::make_shared<Bundle>(path);
}

std::shared_ptr<Bundle> Bundle::findModule(const std::string& name) {
    auto mainBundle = main();
    for (const auto& place : {mainBundle->resourcePath(), mainBundle->bundlePath()}) {
        if (auto bundle = atPath(place / (name + ".bundle"))) return bundle;
    }
    return nullptr;
}

std::shared_ptr<Bundle> Bundle::module(const std::string& name) {
    if (auto bundle = findModule(name)) return bundle;
    fatalError("unable to find bundle named " + name);
}

Bundle::Bundle(fs::path path) : path_(std::move(path)) {}

fs::path Bundle::resourcePath() const {
    findLayout();
    return resourcePath_;
}

void Bundle::findLayout() const {
    std::call_once(layoutOnce_, [this] {
        std::error_code error;
        resourcePath_ = path_;
        for (const auto& candidate : {path_ / "Resources", path_ / "Contents" / "Resources"}) {
            if (fs::is_directory(candidate, error)) {
                resourcePath_ = candidate;
                break;
            }
        }
        for (const auto& entry : fs::directory_iterator(resourcePath_, error)) {
            if (entry.path().extension() == ".lproj") localizations_.push_back(entry.path().stem().string());
        }
        std::sort(localizations_.begin(), localizations_.end());
    });
}

std::string Bundle::executableName() const {
    if (auto* name = objectForInfoDictionaryKey("CFBundleExecutable"); name && name->isString())
        return *name->stringValue();
    auto exe = executablePath();
    if (exe.parent_path() == path_) return exe.filename().string();
    return path_.stem().string();
}

const PropertyListValue::Dictionary& Bundle::infoDictionary() const {
    std::call_once(infoOnce_, [this] {
        for (const auto& candidate : {path_ / "Info.plist", path_ / "Contents" / "Info.plist", resourcePath() / "Info.plist"}) {
            std::error_code error;
            if (!fs::exists(candidate, error)) continue;
            auto value = PropertyListSerialization::propertyList(candidate.string(), nullptr);
            if (value && value->isDictionary()) info_ = *value->dictionaryValue();
            break;
        }
    });
    return info_;
}

const PropertyListValue* Bundle::objectForInfoDictionaryKey(const std::string& key) const {
    const auto& info = infoDictionary();
    auto it = info.find(key);
    return it == info.end() ? nullptr : &it->second;
}

std::optional<std::string> Bundle::bundleIdentifier() const {
    if (auto* value = objectForInfoDictionaryKey("CFBundleIdentifier")) return value->stringValue();
    return std::nullopt;
}

std::string Bundle::developmentLocalization() const {
    if (auto* value = objectForInfoDictionaryKey("CFBundleDevelopmentRegion"); value && value->isString())
        return *value->stringValue();
    return "en";
}

std::vector<std::string> Bundle::localizations() const {
    findLayout();
    return localizations_;
}

std::vector<std::string> Bundle::languageSearchOrder() const {
    auto available = localizations();
    auto has = [&](const std::string& name) { return std::find(available.begin(), available.end(), name) != available.end(); };
    std::vector<std::string> order;
    auto add = [&](const std::string& name) {
        if (has(name) && std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
    };
    // The first preferred language the bundle has decides; then the development language, then Base.
    for (const auto& language : Locale::preferredLanguages()) {
        std::string dashed = language, underscored = language;
        std::replace(underscored.begin(), underscored.end(), '-', '_');
        std::replace(dashed.begin(), dashed.end(), '_', '-');
        auto base = dashed.substr(0, dashed.find('-'));
        std::size_t before = order.size();
        add(dashed);
        add(underscored);
        add(base);
        if (order.size() > before) break;
    }
    add(developmentLocalization());
    if (developmentLocalization() == "en") add("English");
    add("Base");
    return order;
}

const std::map<std::string, std::string>* Bundle::table(const std::string& localization, const std::string& name) const {
    std::lock_guard lock(tablesMutex_);
    auto key = localization + "/" + name;
    auto it = tables_.find(key);
    if (it == tables_.end()) {
        std::optional<std::map<std::string, std::string>> parsed;
        auto folder = localization.empty() ? resourcePath() : resourcePath() / (localization + ".lproj");
        if (auto text = RegularFile::contents(folder / (name + ".strings"), maximumStringsTableSize)) {
            parsed = parseStringsTable(toUtf8(*text));
        }
        it = tables_.emplace(key, std::move(parsed)).first;
    }
    return it->second ? &*it->second : nullptr;
}

std::string Bundle::localizedString(const std::string& key, const std::string& value,
                                    const std::optional<std::string>& tableName) const {
    const std::string name = tableName && !tableName->empty() ? *tableName : "Localizable";
    auto order = languageSearchOrder();
    order.push_back("");  // a table outside any localisation folder
    for (const auto& localization : order) {
        if (auto* strings = table(localization, name)) {
            auto it = strings->find(key);
            if (it != strings->end()) return it->second;
        }
    }
    return value.empty() ? key : value;
}

std::optional<fs::path> Bundle::pathForResource(const std::string& name, const std::string& extension,
                                                const std::string& subdirectory) const {
    std::string file = extension.empty() ? name : name + "." + extension;
    std::vector<fs::path> folders{resourcePath() / subdirectory};
    for (const auto& localization : languageSearchOrder())
        folders.push_back(resourcePath() / (localization + ".lproj") / subdirectory);
    for (const auto& folder : folders) {
        std::error_code error;
        auto candidate = folder / file;
        if (fs::exists(candidate, error)) return candidate.lexically_normal();
    }
    return std::nullopt;
}

std::optional<URL> Bundle::urlForResource(const std::string& name, const std::string& extension,
                                          const std::string& subdirectory) const {
    auto path = pathForResource(name, extension, subdirectory);
    if (!path) return std::nullopt;
    return URL::fileURLWithPath(path->string());
}
