#include "IOKit/IORegistry.hpp"

#include <algorithm>
#include <cstring>
#include <set>

#include "Foundation/FatalError.hpp"
#include "IOKit/HardwareProfile.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"

bool IORegistryEntry::conformsTo(const std::string& name) const {
    return className == name || std::find(superclasses.begin(), superclasses.end(), name) != superclasses.end();
}

namespace {

std::mutex currentMutex;
std::shared_ptr<IORegistry>& currentSlot() {
    static std::shared_ptr<IORegistry> registry;
    return registry;
}

bool isServicePlane(const char* plane) { return plane && std::strcmp(plane, kIOServicePlane) == 0; }

}  // namespace

IORegistry::IORegistry(std::shared_ptr<IORegistryProvider> provider) : provider_(std::move(provider)) {}

std::shared_ptr<IORegistry> IORegistry::current() {
    std::lock_guard lock(currentMutex);
    auto& slot = currentSlot();
    if (!slot) slot = std::make_shared<IORegistry>(defaultProvider());
    return slot;
}

void IORegistry::setCurrent(std::shared_ptr<IORegistry> registry) {
    std::lock_guard lock(currentMutex);
    currentSlot() = std::move(registry);
}

std::shared_ptr<IORegistryProvider> IORegistry::defaultProvider() {
    auto profile = HardwareProfile::path();
    if (!profile) return std::make_shared<SysfsRegistryProvider>();
    try {
        return std::make_shared<HardwareProfileProvider>(*profile);
    } catch (const HardwareProfileError& error) {
        // The user named a file to stand in for the machine; carrying on with another machine
        // would show devices that are not the ones asked for.
        fatalError(error.what());
    }
}

void IORegistry::setFaults(Faults faults) {
    std::lock_guard lock(mutex_);
    faults_ = std::move(faults);
}

std::size_t IORegistry::propertyReads() const {
    std::lock_guard lock(mutex_);
    return propertyReads_;
}

std::size_t IORegistry::openHandles() const {
    std::lock_guard lock(mutex_);
    return objects_.size();
}

kern_return_t IORegistry::matches(const CFDictionaryRef& matching, Snapshot& snapshot, std::vector<Entry>& found) {
    if (!matching) return kIOReturnBadArgument;
    auto value = matching->find(kIOProviderClassKey);
    auto className = value ? value->stringValue() : std::nullopt;
    if (!className) return kIOReturnBadArgument;
    if (faults_.matching != KERN_SUCCESS) return faults_.matching;
    // Property values to match: a service must hold each of them (a property match that is no
    // dictionary matches nothing).
    const auto* propertyMatch = matching->find(kIOPropertyMatchKey);
    const auto* wanted = propertyMatch ? propertyMatch->dictionaryValue() : nullptr;
    if (propertyMatch && !wanted) {
        snapshot = std::make_shared<const std::vector<Entry>>();
        return KERN_SUCCESS;
    }
    std::vector<Entry> candidates;
    if (provider_) candidates = wanted ? provider_->entriesWithProperties(*className, *wanted) : provider_->matchingEntries(*className);
    snapshot = std::make_shared<const std::vector<Entry>>(std::move(candidates));
    auto holds = [&](const IORegistryEntry& entry) {
        return !wanted || std::all_of(wanted->begin(), wanted->end(), [&](const auto& property) {
            const auto* value = entry.properties.find(property.first);
            return value && *value == property.second;
        });
    };
    for (const auto& entry : *snapshot) {
        if (entry && entry->conformsTo(*className) && holds(*entry)) found.push_back(entry);
    }
    return KERN_SUCCESS;
}

io_object_t IORegistry::insert(Object object) {
    // Handles are not reused while one is held; 0 is never a handle.
    while (nextHandle_ == 0 || objects_.count(nextHandle_)) ++nextHandle_;
    io_object_t handle = nextHandle_++;
    objects_.emplace(handle, std::move(object));
    return handle;
}

const IORegistry::EntryObject* IORegistry::entryFor(io_object_t handle) const {
    auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : std::get_if<EntryObject>(&found->second);
}

IORegistry::Entry IORegistry::entryNow(const EntryObject& object) {
    if (object.entry->location.empty() || !provider_) return object.entry;
    return provider_->reread(object.entry);
}

kern_return_t IORegistry::matchingServices(const CFDictionaryRef& matching, io_iterator_t* iterator) {
    if (!iterator) return kIOReturnBadArgument;
    std::lock_guard lock(mutex_);
    *iterator = 0;
    Iterator state;
    if (auto result = matches(matching, state.snapshot, state.matches); result != KERN_SUCCESS) return result;
    *iterator = insert(std::move(state));
    return KERN_SUCCESS;
}

io_service_t IORegistry::matchingService(const CFDictionaryRef& matching) {
    std::lock_guard lock(mutex_);
    Snapshot snapshot;
    std::vector<Entry> found;
    if (matches(matching, snapshot, found) != KERN_SUCCESS || found.empty()) return 0;
    return insert(EntryObject{found.front(), snapshot});
}

io_object_t IORegistry::iteratorNext(io_iterator_t iterator) {
    std::lock_guard lock(mutex_);
    auto found = objects_.find(iterator);
    auto state = found == objects_.end() ? nullptr : std::get_if<Iterator>(&found->second);
    if (!state || state->next >= state->matches.size()) return 0;
    return insert(EntryObject{state->matches[state->next++], state->snapshot});
}

kern_return_t IORegistry::createProperties(io_registry_entry_t entry, CFMutableDictionaryRef* properties) {
    if (!properties) return kIOReturnBadArgument;
    std::lock_guard lock(mutex_);
    *properties = nullptr;
    auto object = entryFor(entry);
    if (!object) return kIOReturnBadArgument;
    ++propertyReads_;
    if (faults_.failsPropertiesRead && faults_.failsPropertiesRead(*object->entry)) return kIOReturnError;
    auto now = entryNow(*object);
    // A copy shares the entry's dictionary until the caller changes it.
    *properties = std::make_shared<CFDictionary>(now ? now->properties : CFDictionary());
    return KERN_SUCCESS;
}

CFTypeRef IORegistry::createProperty(io_registry_entry_t entry, const std::string& key) {
    std::lock_guard lock(mutex_);
    auto object = entryFor(entry);
    if (!object) return nullptr;
    ++propertyReads_;
    auto now = entryNow(*object);
    auto value = now ? now->properties.find(key) : nullptr;
    return value ? std::make_shared<const CFValue>(*value) : nullptr;
}

kern_return_t IORegistry::parentEntry(io_registry_entry_t entry, const char* plane, io_registry_entry_t* parent) {
    if (!parent) return kIOReturnBadArgument;
    std::lock_guard lock(mutex_);
    *parent = 0;
    auto object = entryFor(entry);
    if (!object || !isServicePlane(plane)) return kIOReturnBadArgument;
    if (!object->entry->parent) return kIOReturnNotFound;
    *parent = insert(EntryObject{object->entry->parent, object->snapshot});
    return KERN_SUCCESS;
}

CFTypeRef IORegistry::searchProperty(io_registry_entry_t entry, const char* plane, const std::string& key,
                                     IOOptionBits options) {
    std::lock_guard lock(mutex_);
    auto object = entryFor(entry);
    if (!object || !isServicePlane(plane)) return nullptr;
    ++propertyReads_;
    auto answer = [](const Entry& candidate, const std::string& name) -> CFTypeRef {
        auto value = candidate->properties.find(name);
        return value ? std::make_shared<const CFValue>(*value) : nullptr;
    };
    if (auto value = answer(object->entry, key)) return value;
    if (!(options & kIORegistryIterateRecursively)) return nullptr;
    // Every entry is visited at most once, so even a parent chain made into a loop ends.
    std::set<const IORegistryEntry*> visited{object->entry.get()};
    if (options & kIORegistryIterateParents) {
        for (auto parent = object->entry->parent; parent && visited.insert(parent.get()).second; parent = parent->parent) {
            if (auto value = answer(parent, key)) return value;
        }
        return nullptr;
    }
    // Children, depth first (each child before its own children, then its next sibling).
    auto childrenOf = [&](const Entry& parent) {
        std::vector<Entry> children;
        for (const auto& candidate : *object->snapshot) {
            if (candidate && candidate->parent == parent) children.push_back(candidate);
        }
        return children;
    };
    auto pending = childrenOf(object->entry);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        auto current = pending.back();
        pending.pop_back();
        if (!visited.insert(current.get()).second) continue;
        if (auto value = answer(current, key)) return value;
        auto children = childrenOf(current);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return nullptr;
}

kern_return_t IORegistry::release(io_object_t object) {
    std::lock_guard lock(mutex_);
    return objects_.erase(object) ? KERN_SUCCESS : kIOReturnBadArgument;
}

CFTypeRef IORegistry::powerSourcesInfo() {
    std::lock_guard lock(mutex_);
    if (faults_.powerSourcesUnavailable) return nullptr;
    return std::make_shared<const CFValue>(provider_ ? provider_->powerSources() : CFArray{});
}
