#pragma once
// Items of the system's metadata index (what the desktop search knows about a file). This host
// keeps no such index: it is a model that tests and demos fill with attributes per path, empty
// by default.
#include <memory>
#include <optional>
#include <string>

#include "Foundation/PropertyList.hpp"

inline const std::string kMDItemLastUsedDate = "kMDItemLastUsedDate";

class MDItem {
public:
    explicit MDItem(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
using MDItemRef = std::shared_ptr<MDItem>;

/// The item of the file at the path; nullptr when nothing exists there.
MDItemRef MDItemCreate(const std::string& path);
/// The attribute's value; absent when the index has none.
std::optional<PropertyListValue> MDItemCopyAttribute(const MDItemRef& item, const std::string& name);

class MetadataIndex {
public:
    MetadataIndex() = delete;
    /// Sets (or, with an absent value, removes) an attribute of the path.
    static void setAttribute(const std::string& path, const std::string& name, const std::optional<PropertyListValue>& value);
    static void removeAll();
};
