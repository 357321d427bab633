#include "Foundation/UserDefaults.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <thread>
#include <utility>

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
    std::vector<std::shared_ptr<UserDefaults>> released;
    {
        std::lock_guard lock(registryMutex);
        registry().directory = directory;
        registry().directoryChosen = true;
        // Instances already handed out stay valid; new lookups read from the new place.
        for (auto& [name, defaults] : registry().domains) released.push_back(defaults);
        registry().retired.insert(registry().retired.end(), released.begin(), released.end());
        registry().domains.clear();
    }
    // What they changed is on disk before anything reads the place again.
    for (const auto& defaults : released) defaults->synchronize();
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
    : domain_(std::move(domain)),
      file_(directory / (domain_ + ".plist")),
      values_(DefaultsFile(file_).read()) {}

UserDefaults::~UserDefaults() {
    std::unique_lock lock(mutex_);
    writeEnded_.wait(lock, [&] { return !writerRunning_; });
}

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

// `second` made on the result of `first`.
UserDefaults::Change chain(UserDefaults::Change first, UserDefaults::Change second) {
    if (!first) return second;
    return [first = std::move(first), second = std::move(second)](std::optional<PropertyListValue> value) {
        return second(first(std::move(value)));
    };
}
}  // namespace

void UserDefaults::change(const std::string& key, Change change) {
    // A change still pending for the key comes first.
    auto& pending = changes_[key];
    pending = chain(std::move(pending), change);
    apply(values_, key, change);
    ++changeCount_;
    scheduleWrite();
}

void UserDefaults::scheduleWrite() {
    if (writerRunning_) return;
    writerRunning_ = true;
    // The destructor waits for the thread, so it may refer to this instance.
    std::thread([this] { writePending(); }).detach();
}

void UserDefaults::writePending() {
    std::unique_lock lock(mutex_);
    while (!changes_.empty()) {
        const auto madeBefore = changeCount_;
        std::uint64_t taken = 0;
        bool tooLarge = false;
        lock.unlock();
        auto written = DefaultsFile(file_).update(
            [&](PropertyListValue::Dictionary& values) {
                // Under the domain's lock: every change made until now, also while the lock was
                // waited for, goes with this write.
                Changes changes;
                {
                    std::lock_guard taking(mutex_);
                    writing_ = std::exchange(changes_, {});
                    taken = changeCount_;
                    changes = writing_;
                }
                bool changed = false;
                for (const auto& [key, change] : changes) changed |= apply(values, key, change);
                return changed;
            },
            &tooLarge);
        lock.lock();
        if (written) {
            writing_.clear();
            storedCount_ = taken;
            rebase(std::move(*written));
        } else {
            // What this write took stays pending, before the changes made since.
            for (auto& [key, change] : changes_) {
                auto& earlier = writing_[key];
                earlier = chain(std::move(earlier), std::move(change));
            }
            changes_ = std::exchange(writing_, {});
            ++failedWrites_;
        }
        writeEnded_.notify_all();
        // A change made meanwhile is written at once; what failed on its own is tried again later.
        if (!written && changeCount_ == madeBefore) {
            if (!tooLarge) scheduleRetry();
            break;
        }
    }
    writerRunning_ = false;
    writeEnded_.notify_all();
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
        if (!defaults->changes_.empty()) defaults->scheduleWrite();
    });
}

void UserDefaults::rebase(PropertyListValue::Dictionary stored) {
    for (const auto* changes : {&writing_, &changes_}) {
        for (const auto& [key, change] : *changes) apply(stored, key, change);
    }
    values_ = std::move(stored);
}

bool UserDefaults::synchronize() { return synchronize(std::nullopt); }

bool UserDefaults::synchronize(Deadline deadline) {
    std::unique_lock lock(mutex_);
    const auto target = changeCount_;
    const auto failures = failedWrites_;
    // Pending changes are tried now rather than at their next retry.
    if (storedCount_ < target) scheduleWrite();
    auto ended = [&] { return storedCount_ >= target || failedWrites_ != failures; };
    if (deadline) {
        writeEnded_.wait_until(lock, *deadline, ended);
    } else {
        writeEnded_.wait(lock, ended);
    }
    return storedCount_ >= target;
}

bool UserDefaults::synchronizeAll(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::vector<std::shared_ptr<UserDefaults>> open;
    {
        std::lock_guard lock(registryMutex);
        open = registry().retired;
        for (const auto& [name, defaults] : registry().domains) open.push_back(defaults);
    }
    bool stored = true;
    for (const auto& defaults : open) stored &= defaults->synchronize(deadline);
    return stored;
}

std::optional<PropertyListValue> UserDefaults::update(const std::string& key, Change change) {
    std::lock_guard lock(mutex_);
    // The file is replaced whole, never rewritten in place: it is read without the lock.
    if (auto stored = DefaultsFile(file_).current()) rebase(std::move(*stored));
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
