#pragma once
// User defaults: small values kept per domain (the application's standard domain, or a named
// suite), read with the platform's conversions and kept on disk, one binary property list per
// domain (XML ones are read too). A change holds in this process at once and is written by the
// domain's own writing thread: under an advisory lock on the domain the file is read again, only
// the keys this process changed or removed are applied, and the result replaces the file
// atomically, so that a crash mid-write loses nothing and entries other processes stored in the
// meantime survive. The write waits for the lock as long as another process holds it; reads and
// changes wait for neither the lock nor a write, and synchronize() waits until the changes made
// before it are on disk. A damaged file counts as an empty domain; it is logged, and kept beside
// the domain as "<domain>.plist.damaged" (".damaged.1", ... when that is taken) when it is
// replaced. A change that cannot be written (the file cannot be read or written, or no thread can
// be started to write it) holds in this process, and is tried again with the next change or
// synchronize() and, while its thread runs, at growing intervals from 5 ms up to a second, until it
// is written; why is logged once, until it changes or a write succeeds. A change that would make
// the file larger than a settings file may be is logged with its key (once, until a change of the
// key is written) and holds in this process only, until the key changes again or the file has
// become smaller; the other changes are written without it. A file that already is too large to be
// written back keeps every change in this process; that is logged once, and the changes go with
// the next write once the file is smaller. A child process forked (without exec) starts no
// writing thread: the changes it makes itself, and only those, are written by its own threads (at
// once when no other process holds the lock, else with its next change, synchronize() or its end);
// those pending at the fork are the parent's. At the end of the process the thread that ends it
// writes what no writing thread could be started for, and a change made after the end's wait for
// the settings is written by the thread that makes it, with the settings' time.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/ProcessEnd.hpp"
#include "Foundation/PropertyList.hpp"

class UserDefaults {
public:
    /// The application's own domain (named after the main bundle's identifier).
    static UserDefaults& standard();
    /// A named suite; nullptr when the suite cannot be opened (the global domain, the application's
    /// own domain, an empty name, or a name the suite filter refuses).
    static std::shared_ptr<UserDefaults> suite(const std::string& name);

    /// Where domains are kept; by default $XDG_CONFIG_HOME/Quillon/defaults (or ~/.config/...).
    /// Changing it lets go of every open domain, so the next use reads from the new place, and
    /// waits until what they changed is on disk.
    static void setDirectory(const std::filesystem::path& directory);
    static std::filesystem::path directory();
    /// Lets tests refuse suites by name.
    static void setSuiteFilter(std::function<bool(const std::string&)> accepts);

    /// A domain kept in `directory`; use standard() or suite(), which share one instance per domain.
    UserDefaults(std::string domain, const std::filesystem::path& directory);
    /// Writes what is pending (one try, waiting for the domain's lock), and ends the domain's
    /// writing thread.
    ~UserDefaults();

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
    /// Changes one key from its value as stored now: `change` gets the key's value from the file
    /// as read afresh (without waiting for the domain's lock), and it runs again on the value
    /// stored when it is written, under the lock, so that what another process stored under the
    /// same key meanwhile is kept. `change` is kept until it is written (so it holds its own
    /// values), may be called more than once, and runs on the writing thread too. Answers the
    /// key's new value.
    std::optional<PropertyListValue> update(const std::string& key, Change change);
    /// Every key and value of the domain.
    PropertyListValue::Dictionary dictionaryRepresentation() const;

    /// Waits until every change made here before the call is on disk (true), or until a write of
    /// them failed or no thread could be started for it (false; they hold here and are tried
    /// again); false too while a change made here is kept off the disk for its size. It waits as
    /// long as another process holds the domain's lock: not for the main thread while it serves
    /// the user.
    bool synchronize();

    /// A domain's changes that are not on disk: its file, and the keys changed.
    struct Unwritten {
        std::filesystem::path file;
        std::vector<std::string> keys;
    };
    /// synchronize() for every domain opened through standard() or suite(), waiting at most `wait`
    /// in all (for the end of the process); a domain whose writing thread cannot be started is
    /// written by the calling thread. The domains whose changes are not all on disk.
    static std::vector<Unwritten> synchronizeAll(std::chrono::milliseconds wait);
    /// Ends the writing thread of every domain opened through standard() or suite(), giving up a
    /// wait for a lock, and joins it by `deadline` (or a second from now, for a write under way);
    /// what is not written then stays unwritten. Answers false when a thread was still running
    /// then. For the end of the process, which calls it itself.
    static bool stopAll(ProcessEnd::Clock::time_point deadline);

private:
    using Changes = std::map<std::string, Change>;
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    bool synchronize(Deadline deadline);
    bool stop(ProcessEnd::Clock::time_point deadline);
    // The members below run with `mutex_` held, except runWriter(), the writing thread's own.
    void change(std::unique_lock<std::mutex>& lock, const std::string& key, Change change);
    // Wakes the writing thread for the pending changes, starting it unless it runs; once the end
    // of the process has passed the settings, writes them here.
    void scheduleWrite(std::unique_lock<std::mutex>& lock);
    void runWriter();
    // Writes the pending changes, waiting for the domain's lock, until none is left (true) or a
    // write of them failed with no change made since (false; those stay pending). The writing
    // thread gives up waiting once the domain stops; another thread (the end of the process) at
    // `giveUp`, after one try.
    bool writePending(std::unique_lock<std::mutex>& lock, Deadline giveUp = std::nullopt);
    // Writes the pending changes on the calling thread, waiting for the domain's lock until
    // `giveUp`, and trying again at growing intervals after a failed write unless `retry` is false,
    // until they are written (true) or `giveUp` is past.
    bool writeHere(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point giveUp, bool retry = true);
    // Keeps the change of the key that the write under way took off the disk.
    void refuse(const std::string& key);
    // Puts the changes kept off the disk for its size back among the pending ones once the file is
    // smaller than when they were kept off.
    void releaseRefused();
    // The keys whose changes are not on disk.
    Unwritten unwritten() const;
    // Puts what the write under way took back among the pending changes, before those made since.
    void restorePending();
    // Logs why the changes were not written, unless the last message logged since the last write
    // said so already.
    void reportFailure(const std::string& message);
    // Around a fork the registry's and every open domain's mutex are held, so that the child gets
    // none held by a thread it does not have; the child lets go of the writing threads it lacks,
    // and of the changes that are the parent's to write. Made before main.
    static void prepareFork();
    static void parentAfterFork();
    static void childAfterFork();
    static const int forkHandlers_;
    // The values held here: the domain as stored, with the changes not yet written.
    void rebase(PropertyListValue::Dictionary stored);

    std::string domain_;
    std::filesystem::path file_;
    mutable std::mutex mutex_;
    // The writing thread waits on `wake_` for a change, a retry or the end; synchronize() waits on
    // `writeEnded_` for writes.
    std::condition_variable wake_;
    std::condition_variable writeEnded_;
    PropertyListValue::Dictionary values_;
    // Keys changed or removed since the last write that reached the disk, with their changes:
    // those the write under way took, and those made since; and the changes kept off the disk for
    // the file's size, until their key changes again or the file is smaller than `refusedSize_`
    // bytes, its size then. The keys whose refusal was logged, until a change of theirs is written.
    Changes writing_;
    Changes changes_;
    Changes refused_;
    std::uintmax_t refusedSize_ = 0;
    std::set<std::string> blamed_;
    // How many changes were made, and how many of the first of them are on disk or refused.
    std::uint64_t changeCount_ = 0;
    std::uint64_t storedCount_ = 0;
    // How many changes were on disk before the first of those kept off it.
    std::uint64_t refusedFrom_ = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t failedWrites_ = 0;
    // The last failure logged; empty once a write succeeds.
    std::string reported_;
    // A writer is at work (the writing thread, or the thread that ends the process) while changes
    // are pending; they are to be written without waiting for the next retry.
    bool writerRunning_ = false;
    bool writeNow_ = false;
    // The destructor: write once more, then end. The end of the process: end now.
    bool closing_ = false;
    bool stopping_ = false;
    // The writing thread, as the end of the process sees it: `writerMutex_` guards whether it
    // still runs, and `writerEnded_` tells when it no longer does.
    ProcessEnd::OwnedThread writer_{std::thread(), false};
    std::mutex writerMutex_;
    std::condition_variable writerEnded_;
};
