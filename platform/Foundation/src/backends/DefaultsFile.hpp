#pragma once
// The file of one user-defaults domain, shared by every process that uses the domain: a property
// list read as a whole and changed only under an advisory lock (flock on "<file>.lock"), by
// writing a temporary file "<file>.tmp.<pid>" and renaming it over the old one.
//
// Only a file that was read whole and is no property list (or is larger than `maximumSize`)
// counts as damaged: it is kept as "<file>.damaged", or "<file>.damaged.1", ".2"... when that
// name is taken, and the domain starts anew. A file that cannot be read (no permission, too many
// open files, an I/O error, something other than a regular file) is left alone: the write fails,
// for the caller to try again. A write whose file would be larger than `maximumSize`, which the
// next reader would take for damaged, fails too, for the caller to leave out what makes it so. A
// write waits for the lock as long as another process holds it, trying it again at growing
// intervals (`firstWait`, then `nextWait`), unless its writer gives up between two tries: writes
// belong off the main thread. A child process forked during a write does not keep the lock's
// file open, so that it never holds the lock its parent takes.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "Foundation/PropertyList.hpp"

class DefaultsFile {
public:
    using Values = PropertyListValue::Dictionary;

    /// The largest settings file read, and written.
    static constexpr std::size_t maximumSize = std::size_t{4} << 20;

    /// How long a writer waits before it tries the lock again, the first time and after `wait`:
    /// twice as long each time, up to a second.
    static constexpr std::chrono::milliseconds firstWait{5};
    static std::chrono::milliseconds nextWait(std::chrono::milliseconds wait);

    explicit DefaultsFile(std::filesystem::path path) : path_(std::move(path)) {}

    /// The domain as stored; empty when there is no file, or when it cannot be read (logged).
    Values read() const;
    /// The domain as stored now; none when the file is damaged or cannot be read (not logged).
    std::optional<Values> current() const;

    /// Why an update wrote nothing.
    enum class Failure {
        /// The file could not be read or written (why: `failure()`); worth trying again later.
        unwritable,
        /// The result would be larger than `maximumSize` (not logged).
        tooLarge,
        /// The writer gave up waiting for the lock.
        abandoned,
    };
    /// The domain as stored after the update, or why it was not written.
    using Result = std::variant<Values, Failure>;
    /// Waits up to the time given before the lock is tried again; false when the write is given up.
    using Pause = std::function<bool(std::chrono::milliseconds)>;

    /// Under the lock: reads the domain as stored now, lets `change` edit it (answering whether
    /// it changed anything), and replaces the file unless nothing changed; a damaged file is kept
    /// aside first, temporary files of writers that died are removed before a file is written.
    Result update(const std::function<bool(Values&)>& change, const Pause& pause);
    /// Why the last update could not read or write the file.
    const std::string& failure() const { return failure_; }
    /// Whether the values fit in a settings file.
    static bool fits(const Values& values);

private:
    enum class State { absent, readable, damaged, unreadable };
    State load(Values& values) const;
    bool keepDamaged() const;
    void removeStaleTemporaries() const;
    bool replace(const Data& bytes) const;

    std::filesystem::path path_;
    std::string failure_;
};
