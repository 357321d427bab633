#pragma once
// User defaults: small values kept per domain (the application's standard domain, or a named
// suite), read with the platform's conversions and kept on disk, one binary property list per
// domain (XML ones are read too). Every change is written at once: under an advisory lock on the
// domain the file is read again, only the keys this process changed or removed are applied, and
// the result replaces the file atomically, so that a crash mid-write loses nothing and entries
// other processes stored in the meantime survive. A damaged file counts as an empty domain; it is
// logged, and kept beside the domain as "<domain>.plist.damaged" (".damaged.1", ... when that is
// taken) when it is replaced. A change that cannot be written (the file cannot be read, or
// another process holds the lock too long) is logged, holds in this process, and is written with
// the next change or, for a domain opened through standard() or suite(), tried again every
// `retryInterval` seconds until it is.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/PropertyList.hpp"

class UserDefaults : public std::enable_shared_from_this<UserDefaults> {
public:
    /// How long a change that could not be written waits before it is tried again.
    static constexpr double retryInterval = 1.0;

    /// The application's own domain (named after the main bundle's identifier).
    static UserDefaults& standard();
    /// A named suite; nullptr when the suite cannot be opened (the global domain, the application's
    /// own domain, an empty name, or a name the suite filter refuses).
    static std::shared_ptr<UserDefaults> suite(const std::string& name);

    /// Where domains are kept; by default $XDG_CONFIG_HOME/Quillon/defaults (or ~/.config/...).
    /// Changing it lets go of every open domain, so the next use reads from the new place.
    static void setDirectory(const std::filesystem::path& directory);
    static std::filesystem::path directory();
    /// Lets tests refuse suites by name.
    static void setSuiteFilter(std::function<bool(const std::string&)> accepts);

    /// A domain kept in `directory`; use standard() or suite(), which share one instance per domain.
    UserDefaults(std::string domain, const std::filesystem::path& directory);

    const std::string& domain() const { return domain_; }

    /// The key's value; none when absent or null.
    std::optional<PropertyListValue> object(const std::string& key) const;
    /// False when missing; numbers are true when not 0; texts are true when they start with
    /// Y, y, T, t or a digit 1-9.
    bool boolForKey(const std::string& key) const;
    /// 0 when missing; a Boolean reads as 0 or 1; a text reads as the number it starts with.
    double doubleForKey(const std::string& key) const;
    std::int64_t integerForKey(const std::string& key) const;
    /// Texts, and numbers as text.
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<PropertyListValue::Array> arrayForKey(const std::string& key) const;
    /// An array whose every element is a text.
    std::optional<std::vector<std::string>> stringArrayForKey(const std::string& key) const;
    std::optional<PropertyListValue::Dictionary> dictionaryForKey(const std::string& key) const;
    std::optional<Data> dataForKey(const std::string& key) const;

    /// Storing a null removes the key.
    void set(const PropertyListValue& value, const std::string& key);
    void removeObject(const std::string& key);

    /// The new value of a key made from its old one (none when absent; answering none or a null
    /// removes the key).
    using Change = std::function<std::optional<PropertyListValue>(std::optional<PropertyListValue>)>;
    /// Changes one key from its value as stored now: under the domain's lock the file is read
    /// afresh and `change` gets the key's value from it, so that what another process stored under
    /// the same key meanwhile is kept. When the change cannot be written, it applies to the value
    /// held here and runs again on the stored value with the next write: `change` is kept until
    /// then (so it holds its own values) and may be called more than once. Answers the key's new
    /// value.
    std::optional<PropertyListValue> update(const std::string& key, Change change);
    /// Every key and value of the domain.
    PropertyListValue::Dictionary dictionaryRepresentation() const;

private:
    // Writes the pending changes; false when they could not be, and stay pending (tried again
    // later).
    bool save();
    void change(const std::string& key, Change change);
    // Tries the pending changes again later, off the calling thread.
    void scheduleRetry();

    std::string domain_;
    std::filesystem::path file_;
    mutable std::mutex mutex_;
    PropertyListValue::Dictionary values_;
    // Keys changed or removed since the last write that reached the disk, with their changes.
    std::map<std::string, Change> changes_;
    bool retryScheduled_ = false;
};
