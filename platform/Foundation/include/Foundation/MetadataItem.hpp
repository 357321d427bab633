#pragma once
// Items of the system's metadata index (what the desktop knows about a file). On this host the
// desktop's recently-used list answers: the last-used date of a file it lists, and of an
// application (its desktop entry) the last time it used a file.
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
/// The attribute's value (a date for kMDItemLastUsedDate); absent when the desktop does not know
/// it.
std::optional<PropertyListValue> MDItemCopyAttribute(const MDItemRef& item, const std::string& name);
