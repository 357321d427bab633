#include "IOKit/IOPowerSources.hpp"

#include "IOKit/IORegistry.hpp"

// A snapshot is the array of the sources' descriptions; a source is referred to by its position.

CFTypeRef IOPSCopyPowerSourcesInfo() { return IORegistry::current()->powerSourcesInfo(); }

CFTypeRef IOPSCopyPowerSourcesList(const CFTypeRef& blob) {
    const CFArray* sources = blob ? blob->arrayValue() : nullptr;
    if (!sources) return nullptr;
    CFArray list;
    for (std::size_t index = 0; index < sources->size(); ++index) list.emplace_back(static_cast<std::int64_t>(index));
    return std::make_shared<const CFValue>(std::move(list));
}

CFDictionaryRef IOPSGetPowerSourceDescription(const CFTypeRef& blob, const CFValue& powerSource) {
    const CFArray* sources = blob ? blob->arrayValue() : nullptr;
    auto index = powerSource.isNumber() ? powerSource.intValue() : std::nullopt;
    if (!sources || !index || *index < 0 || static_cast<std::size_t>(*index) >= sources->size()) return nullptr;
    const CFDictionary* description = (*sources)[static_cast<std::size_t>(*index)].dictionaryValue();
    return description ? std::make_shared<const CFDictionary>(*description) : nullptr;
}
