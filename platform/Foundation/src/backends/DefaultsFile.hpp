#pragma once
// The file of one user-defaults domain, shared by every process that uses the domain: a property
// list read as a whole and changed only under an advisory lock (flock on "<file>.lock"), by
// writing a temporary file "<file>.tmp.<pid>" and renaming it over the old one.
//
// Only a file that was read whole and is no property list (or is larger than `maximumSize`)
// counts as damaged: it is kept as "<file>.damaged", or "<file>.damaged.1", ".2"... when that
// name is taken, and the domain starts anew. A file that cannot be read (no permission, too many
// open files, an I/O error, something other than a regular file) is left alone: the write fails,
// for the caller to try again. So does a write whose file would be larger than `maximumSize`,
// which the next reader would take for damaged. A write waits for the lock as long as another
// process holds it, asleep in the kernel, which wakes it when the lock is free: none gives up, so
// writes belong off the main thread.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "Foundation/PropertyList.hpp"

class DefaultsFile {
public:
    using Values = PropertyListValue::Dictionary;

    /// The largest settings file read, and written.
    static constexpr std::size_t maximumSize = std::size_t{4} << 20;

    explicit DefaultsFile(std::filesystem::path path) : path_(std::move(path)) {}

    /// The domain as stored; empty when there is no file, or when it cannot be read (logged).
    Values read() const;
    /// The domain as stored now; none when the file is damaged or cannot be read (not logged).
    std::optional<Values> current() const;

    /// Under the lock: reads the domain as stored now, lets `change` edit it (answering whether
    /// it changed anything), and replaces the file unless nothing changed; a damaged file is kept
    /// aside first, temporary files of writers that died are removed before a file is written.
    /// Answers the domain as written, or nothing when it could not be (logged); `tooLarge`, when
    /// given, tells whether that was for the size of the result.
    std::optional<Values> update(const std::function<bool(Values&)>& change, bool* tooLarge = nullptr) const;

private:
    enum class State { absent, readable, damaged, unreadable };
    State load(Values& values) const;
    bool keepDamaged() const;
    void removeStaleTemporaries() const;
    bool replace(const Data& bytes) const;

    std::filesystem::path path_;
};
