#include "IOKit/IORegistry.hpp"

#include <algorithm>
#include <atomic>
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
/// How many times a registry was installed, so that a thread sees a change with one load.
std::atomic<std::uint64_t> installs{0};

bool isServicePlane(const char* plane) { return plane && std::strcmp(plane, kIOServicePlane) == 0; }

}  // namespace

std::shared_ptr<const std::vector<std::shared_ptr<const IORegistryEntry>>> IORegistryProvider::matchingList(
    const std::string& className) {
    auto entries = matchingEntries(className);
    if (entries.empty()) return nullptr;
    return std::make_shared<const std::vector<std::shared_ptr<const IORegistryEntry>>>(std::move(entries));
}

IORegistry::IORegistry(std::shared_ptr<IORegistryProvider> provider) : provider_(std::move(provider)) {}

const std::shared_ptr<IORegistry>& IORegistry::current() {
    // A refresh makes several calls per service: each thread keeps the registry it saw last and
    // takes the lock only once another was installed.
    thread_local std::shared_ptr<IORegistry> seen;
    thread_local std::uint64_t seenInstalls = 0;
    if (!seen || installs.load(std::memory_order_acquire) != seenInstalls) {
        std::lock_guard lock(currentMutex);
        auto& slot = currentSlot();
        if (!slot) slot = std::make_shared<IORegistry>(defaultProvider());
        seen = slot;
        seenInstalls = installs.load(std::memory_order_relaxed);
    }
    return seen;
}

void IORegistry::setCurrent(std::shared_ptr<IORegistry> registry) {
    std::lock_guard lock(currentMutex);
    currentSlot() = std::move(registry);
    installs.fetch_add(1, std::memory_order_release);
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

kern_return_t IORegistry::matches(const CFDictionaryRef& matching, Snapshot& snapshot, Iterator& found) {
    if (!matching) return kIOReturnBadArgument;
    auto value = matching->find(kIOProviderClassKey);
    const auto* className = value ? std::get_if<std::string>(&value->storage()) : nullptr;
    if (!className) return kIOReturnBadArgument;
    if (faults_.matching != KERN_SUCCESS) return faults_.matching;
    // Most classes a refresh asks for have no entry here: they cost no state.
    snapshot = provider_ ? provider_->matchingList(*className) : nullptr;
    if (snapshot && snapshot->empty()) snapshot = nullptr;
    if (!snapshot) return KERN_SUCCESS;
    found.snapshot = snapshot.get();
    // Most often every entry a provider gives matches: the iterator walks the state itself.
    auto conforms = [&](const Entry& entry) { return entry && entry->conformsTo(*className); };
    found.all = std::all_of(snapshot->begin(), snapshot->end(), conforms);
    if (found.all) return KERN_SUCCESS;
    for (const auto& entry : *snapshot) {
        if (conforms(entry)) found.matches.push_back(entry.get());
    }
    return KERN_SUCCESS;
}

void IORegistry::hold(const Entries* snapshot, Snapshot given) {
    if (!snapshot) return;  // an iterator that found nothing
    for (auto& held : held_) {
        if (held.snapshot.get() == snapshot) {
            ++held.handles;
            return;
        }
    }
    held_.push_back(Held{std::move(given), 1});
}

void IORegistry::letGo(const Object& object) {
    const Entries* snapshot = std::visit([](const auto& held) { return held.snapshot; }, object);
    if (!snapshot) return;
    auto held = std::find_if(held_.begin(), held_.end(),
                             [&](const Held& held) { return held.snapshot.get() == snapshot; });
    if (held != held_.end() && --held->handles == 0) held_.erase(held);
}

IORegistry::Snapshot IORegistry::heldSnapshot(const Entries* snapshot) const {
    for (const auto& held : held_) {
        if (held.snapshot.get() == snapshot) return held.snapshot;
    }
    return nullptr;
}

std::vector<std::pair<io_object_t, IORegistry::Object>>::iterator IORegistry::position(io_object_t handle) {
    return std::lower_bound(objects_.begin(), objects_.end(), handle,
                            [](const auto& object, io_object_t wanted) { return object.first < wanted; });
}

IORegistry::Object* IORegistry::objectFor(io_object_t handle) {
    auto found = position(handle);
    return found != objects_.end() && found->first == handle ? &found->second : nullptr;
}

io_object_t IORegistry::insert(Object object) {
    // Handles grow, so that a new one goes last; once they wrap around, the next free one is
    // taken. 0 is never a handle.
    bool last = nextHandle_ != 0 && (objects_.empty() || objects_.back().first < nextHandle_);
    if (!last) {
        while (nextHandle_ == 0 || objectFor(nextHandle_)) ++nextHandle_;
    }
    io_object_t handle = nextHandle_++;
    objects_.emplace(last ? objects_.end() : position(handle), handle, std::move(object));
    return handle;
}

const IORegistry::EntryObject* IORegistry::entryFor(io_object_t handle) {
    auto object = objectFor(handle);
    return object ? std::get_if<EntryObject>(object) : nullptr;
}

const CFDictionary* IORegistry::propertiesNow(const EntryObject& object, Entry& reread) {
    if (object.entry->location.empty() || !provider_) return &object.entry->properties;
    reread = provider_->reread(Entry(heldSnapshot(object.snapshot), object.entry));
    return reread ? &reread->properties : nullptr;
}

kern_return_t IORegistry::matchingServices(const CFDictionaryRef& matching, io_iterator_t* iterator) {
    if (!iterator) return kIOReturnBadArgument;
    std::lock_guard lock(mutex_);
    *iterator = 0;
    Snapshot snapshot;
    Iterator state{};
    if (auto result = matches(matching, snapshot, state); result != KERN_SUCCESS) return result;
    hold(state.snapshot, std::move(snapshot));
    *iterator = insert(std::move(state));
    return KERN_SUCCESS;
}

io_service_t IORegistry::matchingService(const CFDictionaryRef& matching) {
    std::lock_guard lock(mutex_);
    Snapshot snapshot;
    Iterator found{};
    if (matches(matching, snapshot, found) != KERN_SUCCESS || !snapshot) return 0;
    if (!found.all && found.matches.empty()) return 0;
    hold(found.snapshot, std::move(snapshot));
    return insert(EntryObject{found.all ? found.snapshot->front().get() : found.matches.front(), found.snapshot});
}

io_object_t IORegistry::iteratorNext(io_iterator_t iterator) {
    std::lock_guard lock(mutex_);
    auto object = objectFor(iterator);
    auto state = object ? std::get_if<Iterator>(object) : nullptr;
    if (!state || !state->snapshot) return 0;
    std::size_t count = state->all ? state->snapshot->size() : state->matches.size();
    if (state->next >= count) return 0;
    // An iterator goes forward only; what it hands out is taken before the table may move.
    std::size_t at = state->next++;
    EntryObject next{state->all ? (*state->snapshot)[at].get() : state->matches[at], state->snapshot};
    hold(next.snapshot);
    return insert(next);
}

kern_return_t IORegistry::createProperties(io_registry_entry_t entry, CFMutableDictionaryRef* properties) {
    if (!properties) return kIOReturnBadArgument;
    *properties = nullptr;
    if (entry == 0) return kIOReturnBadArgument;  // never a handle
    std::lock_guard lock(mutex_);
    auto object = entryFor(entry);
    if (!object) return kIOReturnBadArgument;
    ++propertyReads_;
    if (faults_.failsPropertiesRead && faults_.failsPropertiesRead(*object->entry)) return kIOReturnError;
    Entry reread;
    auto now = propertiesNow(*object, reread);
    *properties = std::make_shared<CFDictionary>(now ? *now : CFDictionary());
    return KERN_SUCCESS;
}

CFTypeRef IORegistry::createProperty(io_registry_entry_t entry, const std::string& key) {
    std::lock_guard lock(mutex_);
    auto object = entryFor(entry);
    if (!object) return nullptr;
    ++propertyReads_;
    Entry reread;
    auto now = propertiesNow(*object, reread);
    auto value = now ? now->find(key) : nullptr;
    return value ? std::make_shared<const CFValue>(*value) : nullptr;
}

kern_return_t IORegistry::parentEntry(io_registry_entry_t entry, const char* plane, io_registry_entry_t* parent) {
    if (!parent) return kIOReturnBadArgument;
    std::lock_guard lock(mutex_);
    *parent = 0;
    auto object = entryFor(entry);
    if (!object || !isServicePlane(plane)) return kIOReturnBadArgument;
    if (!object->entry->parent) return kIOReturnNotFound;
    EntryObject up{object->entry->parent.get(), object->snapshot};
    hold(up.snapshot);
    *parent = insert(up);
    return KERN_SUCCESS;
}

CFTypeRef IORegistry::searchProperty(io_registry_entry_t entry, const char* plane, const std::string& key,
                                     IOOptionBits options) {
    std::lock_guard lock(mutex_);
    auto object = entryFor(entry);
    if (!object || !isServicePlane(plane)) return nullptr;
    ++propertyReads_;
    auto answer = [](const IORegistryEntry* candidate, const std::string& name) -> CFTypeRef {
        auto value = candidate->properties.find(name);
        return value ? std::make_shared<const CFValue>(*value) : nullptr;
    };
    if (auto value = answer(object->entry, key)) return value;
    if (!(options & kIORegistryIterateRecursively)) return nullptr;
    // Every entry is visited at most once, so even a parent chain made into a loop ends.
    std::set<const IORegistryEntry*> visited{object->entry};
    if (options & kIORegistryIterateParents) {
        for (auto parent = object->entry->parent.get(); parent && visited.insert(parent).second;
             parent = parent->parent.get()) {
            if (auto value = answer(parent, key)) return value;
        }
        return nullptr;
    }
    // Children, depth first (each child before its own children, then its next sibling).
    auto childrenOf = [&](const IORegistryEntry* parent) {
        std::vector<const IORegistryEntry*> children;
        for (const auto& candidate : *object->snapshot) {
            if (candidate && candidate->parent.get() == parent) children.push_back(candidate.get());
        }
        return children;
    };
    auto pending = childrenOf(object->entry);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        auto current = pending.back();
        pending.pop_back();
        if (!visited.insert(current).second) continue;
        if (auto value = answer(current, key)) return value;
        auto children = childrenOf(current);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return nullptr;
}

kern_return_t IORegistry::release(io_object_t object) {
    if (object == 0) return kIOReturnBadArgument;  // never a handle
    std::lock_guard lock(mutex_);
    auto found = position(object);
    if (found == objects_.end() || found->first != object) return kIOReturnBadArgument;
    letGo(found->second);
    objects_.erase(found);
    return KERN_SUCCESS;
}

CFTypeRef IORegistry::powerSourcesInfo() {
    std::lock_guard lock(mutex_);
    if (faults_.powerSourcesUnavailable) return nullptr;
    return std::make_shared<const CFValue>(provider_ ? provider_->powerSources() : CFArray{});
}
