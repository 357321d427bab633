#pragma once
// The registry calls: matching services by class, iterating them, reading their properties and
// walking to their parents. Objects are handles (non-zero numbers) into the current registry
// (IORegistry::current()); every handle a call hands out must be given back with IOObjectRelease.
#include <cstdint>

#include "Foundation/MachTypes.hpp"
#include "IOKit/CFValue.hpp"

using mach_port_t = std::uint32_t;
using io_object_t = std::uint32_t;
using io_service_t = io_object_t;
using io_iterator_t = io_object_t;
using io_registry_entry_t = io_object_t;
using io_connect_t = io_object_t;
using IOOptionBits = std::uint32_t;

inline constexpr kern_return_t kIOReturnSuccess = KERN_SUCCESS;
/// A general failure.
inline constexpr kern_return_t kIOReturnError = 0x2bc;
/// A handle, plane or matching dictionary the call cannot use.
inline constexpr kern_return_t kIOReturnBadArgument = 0x2c2;
/// The entry has no parent (or whatever else was asked for does not exist).
inline constexpr kern_return_t kIOReturnNotFound = 0x2f0;

/// The port through which the registry is reached; the only one there is.
inline constexpr mach_port_t kIOMainPortDefault = 0;
/// The same port under its older name.
inline constexpr mach_port_t kIOMasterPortDefault = 0;

/// Registry plane of the service tree.
inline constexpr const char* kIOServicePlane = "IOService";
/// Options of IORegistryEntrySearchCFProperty.
inline constexpr IOOptionBits kIORegistryIterateRecursively = 0x1;
inline constexpr IOOptionBits kIORegistryIterateParents = 0x2;

/// Key of a matching dictionary that names the class to match.
inline constexpr const char* kIOProviderClassKey = "IOProviderClass";
/// Key of a matching dictionary whose dictionary names properties a service must hold, each with
/// an equal value.
inline constexpr const char* kIOPropertyMatchKey = "IOPropertyMatch";

/// A matching dictionary for services of a class (or of a class derived from it).
CFMutableDictionaryRef IOServiceMatching(const char* name);
/// An iterator over the matching services in registry order; an empty iterator when none match.
kern_return_t IOServiceGetMatchingServices(mach_port_t mainPort, CFDictionaryRef matching, io_iterator_t* existing);
/// The first matching service, or 0.
io_service_t IOServiceGetMatchingService(mach_port_t mainPort, CFDictionaryRef matching);
/// The iterator's next object, or 0 when it is exhausted.
io_object_t IOIteratorNext(io_iterator_t iterator);
/// A copy of all the entry's properties.
kern_return_t IORegistryEntryCreateCFProperties(io_registry_entry_t entry, CFMutableDictionaryRef* properties,
                                                CFAllocatorRef allocator, IOOptionBits options);
/// The entry's property of that key; empty when it has none.
CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, const std::string& key, CFAllocatorRef allocator,
                                          IOOptionBits options);
/// The entry's parent in a plane; kIOReturnNotFound when it has none.
kern_return_t IORegistryEntryGetParentEntry(io_registry_entry_t entry, const char* plane, io_registry_entry_t* parent);
/// The property on the entry itself or, with kIORegistryIterateRecursively, on its parents
/// (kIORegistryIterateParents) or its children, nearest first; empty when none has it.
CFTypeRef IORegistryEntrySearchCFProperty(io_registry_entry_t entry, const char* plane, const std::string& key,
                                          CFAllocatorRef allocator, IOOptionBits options);
/// Gives the handle back; handle 0 is refused with an error and does no harm.
kern_return_t IOObjectRelease(io_object_t object);
/// Closes a connection opened to a service. No connection is ever opened here, so any handle
/// (a service's among them) is refused with kIOReturnBadArgument and nothing changes.
kern_return_t IOServiceClose(io_connect_t connect);
