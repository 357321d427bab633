#pragma once
// The file of one user-defaults domain, shared by every process that uses the domain: a property
// list read as a whole and changed only under an advisory lock (flock on "<file>.lock"), by
// writing a temporary file "<file>.tmp.<pid>" and renaming it over the old one.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "Foundation/PropertyList.hpp"

class DefaultsFile {
public:
    using Changes = std::map<std::string, std::optional<PropertyListValue>>;

    explicit DefaultsFile(std::filesystem::path path) : path_(std::move(path)) {}

    /// The domain as stored; empty when there is no file, or when it cannot be read (logged).
    PropertyListValue::Dictionary read() const;

    /// Under the lock: reads the domain as stored now, sets the changed keys and removes those
    /// without a value, and replaces the file unless that changes nothing. A file that cannot be
    /// read is kept as "<file>.damaged" first; temporary files of writers that died are removed.
    /// Answers the domain as written, or nothing when it could not be written.
    std::optional<PropertyListValue::Dictionary> update(const Changes& changes) const;

private:
    enum class State { absent, readable, damaged };
    State load(PropertyListValue::Dictionary& values) const;
    void removeStaleTemporaries() const;
    bool replace(const Data& bytes) const;

    std::filesystem::path path_;
};
