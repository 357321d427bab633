#include "Foundation/UserDefaults.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

#include "Foundation/Bundle.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "backends/DefaultsFile.hpp"

namespace {
std::mutex registryMutex;

struct Registry {
    std::filesystem::path directory;
    bool directoryChosen = false;
    std::function<bool(const std::string&)> suiteFilter;
    std::map<std::string, std::shared_ptr<UserDefaults>> domains;
    // Domains opened before a change of directory: references to them stay valid.
    std::vector<std::shared_ptr<UserDefaults>> retired;
};

Registry& registry() {
    static Registry* r = new Registry();
    return *r;
}

std::filesystem::path defaultDirectory() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::filesystem::path(xdg) / "Quillon" / "defaults";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "Quillon" / "defaults";
    return std::filesystem::temp_directory_path() / "Quillon" / "defaults";
}

std::string standardDomainName() {
    if (auto identifier = Bundle::main()->bundleIdentifier()) return *identifier;
    return Bundle::main()->executableName();
}

std::shared_ptr<UserDefaults> openDomain(const std::string& name) {
    std::lock_guard lock(registryMutex);
    auto& domains = registry().domains;
    auto it = domains.find(name);
    if (it != domains.end()) return it->second;
    auto& r = registry();
    auto defaults = std::make_shared<UserDefaults>(name, r.directoryChosen ? r.directory : defaultDirectory());
    domains.emplace(name, defaults);
    return defaults;
}

}  // namespace

UserDefaults& UserDefaults::standard() {
    // The standard domain follows the directory seam: when it changes, a new instance is opened.
    return *openDomain(standardDomainName());
}

std::shared_ptr<UserDefaults> UserDefaults::suite(const std::string& name) {
    if (name.empty() || name == "NSGlobalDomain" || name == standardDomainName()) return nullptr;
    {
        std::lock_guard lock(registryMutex);
        if (registry().suiteFilter && !registry().suiteFilter(name)) return nullptr;
    }
    return openDomain(name);
}

void UserDefaults::setDirectory(const std::filesystem::path& directory) {
    std::lock_guard lock(registryMutex);
    registry().directory = directory;
    registry().directoryChosen = true;
    // Instances already handed out stay valid; new lookups read from the new place.
    for (auto& [name, defaults] : registry().domains) registry().retired.push_back(defaults);
    registry().domains.clear();
}

std::filesystem::path UserDefaults::directory() {
    std::lock_guard lock(registryMutex);
    return registry().directoryChosen ? registry().directory : defaultDirectory();
}

void UserDefaults::setSuiteFilter(std::function<bool(const std::string&)> accepts) {
    std::lock_guard lock(registryMutex);
    registry().suiteFilter = std::move(accepts);
}

UserDefaults::UserDefaults(std::string domain, const std::filesystem::path& directory)
    : domain_(std::move(domain)), file_(directory / (domain_ + ".plist")), values_(DefaultsFile(file_).read()) {}

namespace {
// Whether the key's value changed.
bool apply(PropertyListValue::Dictionary& values, const std::string& key, const UserDefaults::Change& change) {
    auto it = values.find(key);
    auto value = change(it == values.end() ? std::nullopt : std::optional<PropertyListValue>(it->second));
    if (!value || value->isNull()) {
        if (it == values.end()) return false;
        values.erase(it);
    } else if (it == values.end()) {
        values.emplace(key, std::move(*value));
    } else {
        if (it->second == *value) return false;
        it->second = std::move(*value);
    }
    return true;
}
}  // namespace

bool UserDefaults::save() {
    // The domain as written holds what other processes stored meanwhile; changes that could not
    // be written stay pending for the next write.
    auto written = DefaultsFile(file_).update([&](PropertyListValue::Dictionary& values) {
        bool changed = false;
        for (const auto& [key, change] : changes_) changed |= apply(values, key, change);
        return changed;
    });
    if (!written) {
        scheduleRetry();
        return false;
    }
    values_ = std::move(*written);
    changes_.clear();
    return true;
}

void UserDefaults::change(const std::string& key, Change change) {
    // A change still pending for the key comes first.
    auto& pending = changes_[key];
    if (pending) {
        pending = [first = std::move(pending), change](std::optional<PropertyListValue> value) { return change(first(std::move(value))); };
    } else {
        pending = change;
    }
    // What could not be written holds here until it is.
    if (!save()) apply(values_, key, change);
}

void UserDefaults::scheduleRetry() {
    // Only a domain that is shared (and so outlives the wait) is tried again on its own.
    auto self = weak_from_this();
    if (retryScheduled_ || self.expired()) return;
    retryScheduled_ = true;
    DispatchQueue::global().asyncAfter(retryInterval, [self] {
        auto defaults = self.lock();
        if (!defaults) return;
        std::lock_guard lock(defaults->mutex_);
        defaults->retryScheduled_ = false;
        if (!defaults->changes_.empty()) defaults->save();
    });
}

std::optional<PropertyListValue> UserDefaults::update(const std::string& key, Change change) {
    std::lock_guard lock(mutex_);
    this->change(key, std::move(change));
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::optional<PropertyListValue> UserDefaults::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end() || it->second.isNull()) return std::nullopt;
    return it->second;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return false;
    if (auto number = value->numberValue()) return *number != 0;
    if (auto text = value->stringValue()) {
        auto start = text->find_first_not_of(" \t\n\r");
        if (start == std::string::npos) return false;
        char c = (*text)[start];
        if (c == '+' || c == '-') c = start + 1 < text->size() ? (*text)[start + 1] : '0';
        return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
    }
    return false;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0;
    if (auto number = value->numberValue()) return *number;
    if (auto text = value->stringValue()) return std::strtod(text->c_str(), nullptr);
    return 0;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0;
    if (auto integer = value->integerValue()) return *integer;
    if (auto number = value->numberValue()) {
        // Beyond the signed range (a large unsigned integer or real) reads as its nearest end.
        if (std::isnan(*number)) return 0;
        constexpr double end = 9223372036854775808.0;
        if (*number >= end) return std::numeric_limits<std::int64_t>::max();
        if (*number < -end) return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(*number);
    }
    if (auto text = value->stringValue()) return std::strtoll(text->c_str(), nullptr, 10);
    return 0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return std::nullopt;
    if (auto text = value->stringValue()) return text;
    if (auto integer = value->integerValue()) return std::to_string(*integer);
    if (auto integer = value->unsignedIntegerValue()) return std::to_string(*integer);
    if (auto real = value->realValue()) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", *real);
        return std::string(buffer);
    }
    return std::nullopt;
}

std::optional<PropertyListValue::Array> UserDefaults::arrayForKey(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->isArray()) return std::nullopt;
    return *value->arrayValue();
}

std::optional<std::vector<std::string>> UserDefaults::stringArrayForKey(const std::string& key) const {
    auto array = arrayForKey(key);
    if (!array) return std::nullopt;
    std::vector<std::string> strings;
    for (const auto& item : *array) {
        auto text = item.stringValue();
        if (!text) return std::nullopt;
        strings.push_back(*text);
    }
    return strings;
}

std::optional<PropertyListValue::Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->isDictionary()) return std::nullopt;
    return *value->dictionaryValue();
}

std::optional<Data> UserDefaults::dataForKey(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->isData()) return std::nullopt;
    return *value->dataValue();
}

void UserDefaults::set(const PropertyListValue& value, const std::string& key) {
    std::lock_guard lock(mutex_);
    change(key, [value](std::optional<PropertyListValue>) { return value; });
}

void UserDefaults::removeObject(const std::string& key) {
    // Removed also when this process does not hold the key: another one may have stored it.
    std::lock_guard lock(mutex_);
    change(key, [](std::optional<PropertyListValue>) { return std::nullopt; });
}

PropertyListValue::Dictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    return values_;
}
