#include "Foundation/UserDefaults.hpp"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>
#include <system_error>
#include <utility>

#include "Foundation/Bundle.hpp"
#include "Foundation/ProcessEnd.hpp"
#include "Foundation/SystemLog.hpp"
#include "backends/DefaultsFile.hpp"

namespace {
std::mutex registryMutex;
// Guards Registry::existing; taken after registryMutex where both are.
std::mutex existingMutex;

struct Registry {
    std::filesystem::path directory;
    bool directoryChosen = false;
    std::function<bool(const std::string&)> suiteFilter;
    std::map<std::string, std::shared_ptr<UserDefaults>> domains;
    // Domains opened before a change of directory: references to them stay valid.
    std::vector<std::shared_ptr<UserDefaults>> retired;
    // Every domain that exists, also those made with the constructor, for the fork handlers.
    std::set<UserDefaults*> existing;
    // When the end of the process gives up waiting for the settings, once it has begun to.
    std::atomic<ProcessEnd::Clock::rep> endDeadline{0};
};

Registry& registry() {
    static auto* r = new Registry();  // lives as long as the process
    return *r;
}

// How long the end waits for a write that is under way at the settings' deadline to end.
constexpr auto writeUnderWay = std::chrono::seconds(1);

void logUnwritten(const UserDefaults::Unwritten& unwritten) {
    std::string keys;
    for (const auto& key : unwritten.keys) keys += (keys.empty() ? "" : ", ") + key;
    SystemLog::write("The settings file " + unwritten.file.string() + " was not written with " + keys + " before the application ended.");
}

// The end of the process: the changes made until then are written, within the end's time for
// them; what is left unwritten is logged, and the writers end.
bool writeBeforeTheEnd(ProcessEnd::Clock::time_point deadline) {
    registry().endDeadline = deadline.time_since_epoch().count();
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - ProcessEnd::Clock::now());
    for (const auto& unwritten : UserDefaults::synchronizeAll(std::max(wait, std::chrono::milliseconds(0)))) logUnwritten(unwritten);
    return UserDefaults::stopAll(deadline);
}

// When the end's wait for the settings gives up, once it has begun; long past before.
ProcessEnd::Clock::time_point settingsDeadline() {
    return ProcessEnd::Clock::time_point{ProcessEnd::Clock::duration(registry().endDeadline.load())};
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
      values_(DefaultsFile(file_).read()) {
    std::lock_guard lock(existingMutex);
    registry().existing.insert(this);
}

UserDefaults::~UserDefaults() {
    {
        std::unique_lock lock(mutex_);
        closing_ = true;
        // Changes whose writing thread could not be started get one more chance.
        if (!writerRunning_ && !changes_.empty()) scheduleWrite(lock);
    }
    wake_.notify_all();
    if (writer_.thread.joinable()) writer_.thread.join();
    std::lock_guard lock(existingMutex);
    registry().existing.erase(this);
}

bool UserDefaults::stop(ProcessEnd::Clock::time_point deadline) {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    writeEnded_.notify_all();
    std::unique_lock lock(writerMutex_);
    return ProcessEnd::joinEnded(lock, writerEnded_, {&writer_}, deadline);
}

bool UserDefaults::stopAll(ProcessEnd::Clock::time_point deadline) {
    std::vector<std::shared_ptr<UserDefaults>> open;
    {
        std::lock_guard lock(registryMutex);
        open = registry().retired;
        for (const auto& [name, defaults] : registry().domains) open.push_back(defaults);
    }
    // A writer told to stop gives up its wait for the lock at once; a write under way ends first.
    deadline = std::max(deadline, ProcessEnd::Clock::now() + writeUnderWay);
    bool joined = true;
    for (const auto& defaults : open) joined = defaults->stop(deadline) && joined;
    return joined;
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

// The file's size; 0 when there is none.
std::uintmax_t sizeOf(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

// `second` made on the result of `first`.
UserDefaults::Change chain(UserDefaults::Change first, UserDefaults::Change second) {
    if (!first) return second;
    if (!second) return first;
    return [first = std::move(first), second = std::move(second)](std::optional<PropertyListValue> value) {
        return second(first(std::move(value)));
    };
}
}  // namespace

void UserDefaults::change(std::unique_lock<std::mutex>& lock, const std::string& key, Change change) {
    releaseRefused();
    // A change still pending for the key comes first, and so does one kept off the disk.
    auto& pending = changes_[key];
    if (auto refused = refused_.find(key); refused != refused_.end()) {
        pending = chain(std::move(refused->second), std::move(pending));
        refused_.erase(refused);
    }
    pending = chain(std::move(pending), change);
    apply(values_, key, change);
    ++changeCount_;
    scheduleWrite(lock);
}

void UserDefaults::scheduleWrite(std::unique_lock<std::mutex>& lock) {
    writeNow_ = true;
    if (!writerRunning_) {
        if (stopping_ || !ProcessEnd::add(ProcessEnd::Stage::settings, writeBeforeTheEnd)) {
            // The end has passed the settings (and joins the last thread), and no writing thread
            // starts: the thread that made the change writes it, waiting for the domain's lock as
            // long as the end's wait for the settings could have lasted (one try when it did not
            // wait, or its time is over), for which the end waits for the thread; what it cannot
            // write is logged as the end logs it.
            const auto deadline = settingsDeadline();
            ProcessEnd::writesLate(deadline + writeUnderWay);
            if (!writeHere(lock, std::max(deadline, ProcessEnd::Clock::now()))) logUnwritten(unwritten());
            return;
        }
        if (ProcessEnd::forked()) {
            // A forked child starts no writing thread: the thread that made the change writes it
            // when no other process holds the domain's lock, else the next change, synchronize()
            // or the child's end does.
            writeHere(lock, std::chrono::steady_clock::now());
            return;
        }
        // The last thread has ended its work: it is joined here, and the new one by the next
        // change, the destructor, or the end of the process.
        if (writer_.thread.joinable()) writer_.thread.join();
        {
            std::lock_guard running(writerMutex_);
            writer_.running = true;
        }
        if (!ProcessEnd::start(writer_, writerMutex_, writerEnded_, [this] { runWriter(); })) {
            // The changes stay pending for the next change or synchronize() to try again; a
            // synchronize() waiting for them fails, as for a write that failed.
            {
                std::lock_guard running(writerMutex_);
                writer_.running = false;
            }
            reportFailure("The settings file " + file_.string() +
                          " was not written (no thread could be started); the changes hold in this process and are tried again later.");
            ++failedWrites_;
            writeEnded_.notify_all();
            return;
        }
        writerRunning_ = true;
    }
    wake_.notify_all();
}

bool UserDefaults::writeHere(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point giveUp, bool retry) {
    using Clock = std::chrono::steady_clock;
    // No writing thread starts meanwhile; changes made meanwhile go with these.
    writerRunning_ = true;
    auto retryDelay = DefaultsFile::firstWait;
    while (!writePending(lock, giveUp) && retry && Clock::now() < giveUp) {
        wake_.wait_until(lock, std::min(giveUp, Clock::now() + retryDelay));
        retryDelay = DefaultsFile::nextWait(retryDelay);
    }
    writerRunning_ = false;
    writeEnded_.notify_all();
    return changes_.empty();
}

void UserDefaults::runWriter() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);
    auto retry = Clock::time_point::min();  // later after a write that failed
    // Each failure in a row waits longer, as for a lock held elsewhere.
    auto retryDelay = DefaultsFile::firstWait;
    // The thread ends once nothing is left to write.
    while (!stopping_ && !changes_.empty()) {
        if (!writeNow_ && !closing_ && Clock::now() < retry) {
            wake_.wait_until(lock, retry);
            continue;
        }
        writeNow_ = false;
        retry = Clock::time_point::min();
        if (writePending(lock)) {
            retryDelay = DefaultsFile::firstWait;
        } else {
            if (closing_) break;
            retry = Clock::now() + retryDelay;
            retryDelay = DefaultsFile::nextWait(retryDelay);
        }
    }
    writerRunning_ = false;
}

bool UserDefaults::writePending(std::unique_lock<std::mutex>& lock, Deadline giveUp) {
    // Once a write would make the file too large, each change is tried on its own, and those that
    // alone would pass the limit are kept off the disk (all of them, when the file as it stands
    // already does).
    bool oneByOne = false;
    auto pause = [&](std::chrono::milliseconds interval) {
        if (giveUp) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= *giveUp) return false;
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(interval, *giveUp - now));
            return true;
        }
        std::unique_lock waiting(mutex_);
        return !wake_.wait_for(waiting, interval, [&] { return stopping_; });
    };
    while (!changes_.empty() && (giveUp || !stopping_)) {
        const auto madeBefore = changeCount_;
        std::uint64_t taken = 0;
        bool storedTooLarge = false;
        lock.unlock();
        DefaultsFile file(file_);
        auto result = file.update(
            [&](PropertyListValue::Dictionary& values) {
                // Under the domain's lock: every change made until now, also while the lock was
                // waited for, goes with this write.
                Changes changes;
                std::uint64_t takenFrom = 0;
                {
                    std::lock_guard taking(mutex_);
                    writing_ = std::exchange(changes_, {});
                    takenFrom = storedCount_;
                    taken = changeCount_;
                    changes = writing_;
                }
                bool changed = false;
                std::optional<bool> fitsNow;  // whether the values as they are now fit, once known
                for (const auto& [key, change] : changes) {
                    if (!oneByOne) {
                        changed |= apply(values, key, change);
                        continue;
                    }
                    auto it = values.find(key);
                    const auto before = it == values.end() ? std::nullopt : std::optional<PropertyListValue>(it->second);
                    if (!apply(values, key, change)) continue;
                    if (DefaultsFile::fits(values)) {
                        changed = true;
                        fitsNow = true;
                        continue;
                    }
                    if (before) {
                        values[key] = *before;
                    } else {
                        values.erase(key);
                    }
                    if (!fitsNow) fitsNow = DefaultsFile::fits(values);
                    storedTooLarge |= !*fitsNow;
                    std::lock_guard refusing(mutex_);
                    // A key is blamed only where the file would fit without its change, once.
                    if (*fitsNow && blamed_.insert(key).second) {
                        SystemLog::write("The setting " + key + " was not written to the settings file " + file_.string() +
                                         ": with it the file would be larger than the " +
                                         std::to_string(DefaultsFile::maximumSize) +
                                         " bytes a settings file may hold; it holds in this process until the key changes again or the file is smaller.");
                    }
                    refuse(key);
                    refusedSize_ = sizeOf(file_);
                    refusedFrom_ = std::min(refusedFrom_, takenFrom);
                }
                return changed;
            },
            pause);
        lock.lock();
        if (auto* written = std::get_if<PropertyListValue::Dictionary>(&result)) {
            for (const auto& [key, change] : writing_) blamed_.erase(key);
            writing_.clear();
            storedCount_ = taken;
            rebase(std::move(*written));
            if (storedTooLarge) {
                reportFailure("The settings file " + file_.string() + " cannot be written back: as it stands it is larger than the " +
                              std::to_string(DefaultsFile::maximumSize) +
                              " bytes a settings file may hold when written; changes to it hold in this process only.");
            } else {
                reported_.clear();
            }
            // A write that made the file smaller makes room for what was kept off it.
            releaseRefused();
            writeEnded_.notify_all();
            continue;
        }
        restorePending();
        const auto failure = std::get<DefaultsFile::Failure>(result);
        if (failure == DefaultsFile::Failure::tooLarge && !oneByOne) {
            oneByOne = true;
            continue;
        }
        if (failure == DefaultsFile::Failure::unwritable) {
            reportFailure("The settings file " + file_.string() + " was not written (" + file.failure() +
                          "); the changes hold in this process and are tried again later.");
        }
        ++failedWrites_;
        writeEnded_.notify_all();
        // A change made meanwhile is written at once; what failed on its own is tried again later.
        if (changeCount_ == madeBefore) return false;
    }
    return true;
}

void UserDefaults::refuse(const std::string& key) {
    auto taken = writing_.find(key);
    // A change of the key made meanwhile comes after it, and the two are tried together.
    if (auto later = changes_.find(key); later != changes_.end()) {
        later->second = chain(std::move(taken->second), std::move(later->second));
    } else {
        refused_[key] = std::move(taken->second);
    }
    writing_.erase(taken);
}

void UserDefaults::releaseRefused() {
    if (refused_.empty()) return;
    if (sizeOf(file_) >= refusedSize_) return;
    for (auto& [key, change] : refused_) {
        auto& pending = changes_[key];
        pending = chain(std::move(change), std::move(pending));
    }
    refused_.clear();
    // They count as not written again, for synchronize() to wait for them.
    storedCount_ = std::min(storedCount_, refusedFrom_);
    refusedFrom_ = std::numeric_limits<std::uint64_t>::max();
}

void UserDefaults::restorePending() {
    for (auto& [key, change] : changes_) {
        auto& earlier = writing_[key];
        earlier = chain(std::move(earlier), std::move(change));
    }
    changes_ = std::exchange(writing_, {});
}

void UserDefaults::reportFailure(const std::string& message) {
    if (message == reported_) return;
    reported_ = message;
    SystemLog::write(message);
}

void UserDefaults::prepareFork() {
    // In the order every other path takes them: the registry, then a domain, then its thread's.
    registryMutex.lock();
    existingMutex.lock();
    for (auto* defaults : registry().existing) {
        defaults->mutex_.lock();
        defaults->writerMutex_.lock();
    }
}

void UserDefaults::parentAfterFork() {
    for (auto* defaults : registry().existing) {
        defaults->writerMutex_.unlock();
        defaults->mutex_.unlock();
    }
    existingMutex.unlock();
    registryMutex.unlock();
}

void UserDefaults::childAfterFork() {
    // The child has only the thread that forked: a writing thread, and whatever waited on a
    // domain's conditions, stayed in the parent. Their handles and waiters are let go of without
    // a join or a wake (neither would ever end). The changes not yet written are the parent's to
    // write: the child writes only those it makes itself, and none of the parent's older values
    // over what the parent writes meanwhile.
    for (auto* defaults : registry().existing) {
        defaults->changes_.clear();
        defaults->writing_.clear();
        defaults->refused_.clear();
        defaults->blamed_.clear();
        defaults->refusedFrom_ = std::numeric_limits<std::uint64_t>::max();
        defaults->storedCount_ = defaults->changeCount_;
        defaults->writerRunning_ = false;
        defaults->writeNow_ = false;
        defaults->stopping_ = false;  // the parent's end, which the child's own comes after
        std::construct_at(&defaults->writer_.thread);
        defaults->writer_.running = false;
        std::construct_at(&defaults->wake_);
        std::construct_at(&defaults->writeEnded_);
        std::construct_at(&defaults->writerEnded_);
        defaults->writerMutex_.unlock();
        defaults->mutex_.unlock();
    }
    registry().endDeadline = 0;
    existingMutex.unlock();
    registryMutex.unlock();
}

// Made before main, after the log's and the end's handlers, whose locks are taken under a domain's:
// a fork's preparation runs handlers in the reverse order of their making.
const int UserDefaults::forkHandlers_ = [] {
    SystemLog::makeForkHandlers();
    ProcessEnd::forked();
    registry();
    return ::pthread_atfork(prepareFork, parentAfterFork, childAfterFork);
}();

void UserDefaults::rebase(PropertyListValue::Dictionary stored) {
    for (const auto* changes : {&refused_, &writing_, &changes_}) {
        for (const auto& [key, change] : *changes) apply(stored, key, change);
    }
    values_ = std::move(stored);
}

bool UserDefaults::synchronize() { return synchronize(std::nullopt); }

bool UserDefaults::synchronize(Deadline deadline) {
    std::unique_lock lock(mutex_);
    releaseRefused();
    const auto target = changeCount_;
    const auto failures = failedWrites_;
    // Pending changes are tried now rather than at their next retry.
    if (storedCount_ < target) scheduleWrite(lock);
    if (storedCount_ < target && !writerRunning_ && !stopping_) {
        if (deadline) {
            // The end of the process writes them itself where no writing thread could be started.
            writeHere(lock, *deadline);
        } else if (ProcessEnd::forked()) {
            // A forked child waits for the domain's lock itself, for as long as another process
            // holds it, and until a write fails.
            writeHere(lock, std::chrono::steady_clock::time_point::max(), false);
        }
    }
    auto ended = [&] { return storedCount_ >= target || failedWrites_ != failures || stopping_; };
    if (deadline) {
        writeEnded_.wait_until(lock, *deadline, ended);
    } else {
        writeEnded_.wait(lock, ended);
    }
    return storedCount_ >= target && refused_.empty();
}

std::vector<UserDefaults::Unwritten> UserDefaults::synchronizeAll(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::vector<std::shared_ptr<UserDefaults>> open;
    {
        std::lock_guard lock(registryMutex);
        open = registry().retired;
        for (const auto& [name, defaults] : registry().domains) open.push_back(defaults);
    }
    std::vector<Unwritten> unwritten;
    for (const auto& defaults : open) {
        if (defaults->synchronize(deadline)) continue;
        std::lock_guard lock(defaults->mutex_);
        unwritten.push_back(defaults->unwritten());
    }
    return unwritten;
}

UserDefaults::Unwritten UserDefaults::unwritten() const {
    std::set<std::string> keys;
    for (const auto* changes : {&refused_, &writing_, &changes_}) {
        for (const auto& [key, change] : *changes) keys.insert(key);
    }
    return {file_, {keys.begin(), keys.end()}};
}

std::optional<PropertyListValue> UserDefaults::update(const std::string& key, Change change) {
    std::unique_lock lock(mutex_);
    // The file is replaced whole, never rewritten in place: it is read without the lock.
    if (auto stored = DefaultsFile(file_).current()) rebase(std::move(*stored));
    this->change(lock, key, std::move(change));
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
    std::unique_lock lock(mutex_);
    change(lock, key, [value](std::optional<PropertyListValue>) { return value; });
}

void UserDefaults::removeObject(const std::string& key) {
    // Removed also when this process does not hold the key: another one may have stored it.
    std::unique_lock lock(mutex_);
    change(lock, key, [](std::optional<PropertyListValue>) { return std::nullopt; });
}

PropertyListValue::Dictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    return values_;
}
