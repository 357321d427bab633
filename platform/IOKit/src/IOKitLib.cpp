#include "IOKit/IOKitLib.hpp"

#include "IOKit/IORegistry.hpp"

CFMutableDictionaryRef IOServiceMatching(const char* name) {
    if (!name) return nullptr;
    auto matching = std::make_shared<CFDictionary>();
    matching->set(CFValue(kIOProviderClassKey), CFValue(std::string(name)));
    return matching;
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFDictionaryRef matching, io_iterator_t* existing) {
    return IORegistry::current()->matchingServices(matching, existing);
}

io_service_t IOServiceGetMatchingService(mach_port_t, CFDictionaryRef matching) {
    return IORegistry::current()->matchingService(matching);
}

io_object_t IOIteratorNext(io_iterator_t iterator) { return IORegistry::current()->iteratorNext(iterator); }

kern_return_t IORegistryEntryCreateCFProperties(io_registry_entry_t entry, CFMutableDictionaryRef* properties,
                                                CFAllocatorRef, IOOptionBits) {
    return IORegistry::current()->createProperties(entry, properties);
}

CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, const std::string& key, CFAllocatorRef,
                                          IOOptionBits) {
    return IORegistry::current()->createProperty(entry, key);
}

kern_return_t IORegistryEntryGetParentEntry(io_registry_entry_t entry, const char* plane, io_registry_entry_t* parent) {
    return IORegistry::current()->parentEntry(entry, plane, parent);
}

CFTypeRef IORegistryEntrySearchCFProperty(io_registry_entry_t entry, const char* plane, const std::string& key,
                                          CFAllocatorRef, IOOptionBits options) {
    return IORegistry::current()->searchProperty(entry, plane, key, options);
}

kern_return_t IOObjectRelease(io_object_t object) { return IORegistry::current()->release(object); }

kern_return_t IOServiceClose(io_connect_t) { return kIOReturnBadArgument; }
