#include "Foundation/MetadataItem.hpp"

#include <map>
#include <mutex>

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"

namespace {
std::mutex indexMutex;
std::map<std::string, std::map<std::string, PropertyListValue>> attributes;
}  // namespace

MDItemRef MDItemCreate(const std::string& path) {
    if (!FileManager::defaultManager().fileExists(path)) return nullptr;
    return std::make_shared<MDItem>(standardizingPath(path));
}

std::optional<PropertyListValue> MDItemCopyAttribute(const MDItemRef& item, const std::string& name) {
    if (!item) return std::nullopt;
    std::lock_guard lock(indexMutex);
    auto entry = attributes.find(item->path());
    if (entry == attributes.end()) return std::nullopt;
    auto value = entry->second.find(name);
    if (value == entry->second.end()) return std::nullopt;
    return value->second;
}

void MetadataIndex::setAttribute(const std::string& path, const std::string& name, const std::optional<PropertyListValue>& value) {
    std::lock_guard lock(indexMutex);
    auto& entry = attributes[standardizingPath(path)];
    if (value) {
        entry[name] = *value;
    } else {
        entry.erase(name);
    }
}

void MetadataIndex::removeAll() {
    std::lock_guard lock(indexMutex);
    attributes.clear();
}
