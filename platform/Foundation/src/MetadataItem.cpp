#include "Foundation/MetadataItem.hpp"

#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "backends/RecentlyUsedList.hpp"

MDItemRef MDItemCreate(const std::string& path) {
    if (!FileManager::defaultManager().fileExists(path)) return nullptr;
    return std::make_shared<MDItem>(standardizingPath(path));
}

std::optional<PropertyListValue> MDItemCopyAttribute(const MDItemRef& item, const std::string& name) {
    if (!item || name != kMDItemLastUsedDate) return std::nullopt;
    if (auto date = RecentlyUsedList::lastUsed(item->path())) return PropertyListValue(*date);
    return std::nullopt;
}
