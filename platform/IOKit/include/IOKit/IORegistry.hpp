#pragma once
// The registry model behind the IOKit calls: entries with a class (and the classes it derives
// from), properties and a parent in the service plane, filled by a provider (the Linux machine,
// or a hardware-profile file). The registry in use is a platform setting with a seam for tests.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "IOKit/CFValue.hpp"
#include "IOKit/IOKitLib.hpp"

/// One registry entry. Entries are immutable once made; a provider makes new ones when what it
/// describes changes.
struct IORegistryEntry {
    std::string className;
    /// The classes it derives from, nearest first (matching by any of them finds the entry).
    std::vector<std::string> superclasses;
    CFDictionary properties;
    /// Its parent in the service plane; empty for a root.
    std::shared_ptr<const IORegistryEntry> parent;
    /// Where the provider reads the entry from, for entries whose properties change while a
    /// handle to them is held (a battery's charge); empty for entries read once.
    std::string location;

    /// True when the entry's class or one of its superclasses has that name.
    bool conformsTo(const std::string& name) const;
};

/// Fills a registry: the entries as the provider sees them at the moment of the call, in
/// registry order, and the machine's power sources.
class IORegistryProvider {
public:
    virtual ~IORegistryProvider() = default;
    virtual std::vector<std::shared_ptr<const IORegistryEntry>> entries() = 0;
    /// The entries a search for a class needs: at least every entry whose class or superclass
    /// has that name, as entries() gives them (others may come along). By default all entries; a
    /// provider that reads the machine reads only what can match.
    virtual std::vector<std::shared_ptr<const IORegistryEntry>> matchingEntries(const std::string& /*className*/) {
        return entries();
    }
    /// The entries a search for a class and property values (IOPropertyMatch) needs: at least
    /// every entry of the class whose properties hold those values. By default those of
    /// matchingEntries(); a provider that can find an entry by its values reads only that one.
    virtual std::vector<std::shared_ptr<const IORegistryEntry>> entriesWithProperties(const std::string& className,
                                                                                      const CFDictionary& /*properties*/) {
        return matchingEntries(className);
    }
    /// The entry as it is now, for an entry with a location: a new entry when its properties
    /// changed, empty when it is gone. By default entries never change.
    virtual std::shared_ptr<const IORegistryEntry> reread(const std::shared_ptr<const IORegistryEntry>& entry) {
        return entry;
    }
    /// The power sources (batteries, uninterruptible supplies), each described by a dictionary
    /// keyed by text, in the system's order; none by default.
    virtual CFArray powerSources() { return {}; }
};

/// A provider with a fixed list of entries and power sources.
class StaticRegistryProvider : public IORegistryProvider {
public:
    explicit StaticRegistryProvider(std::vector<std::shared_ptr<const IORegistryEntry>> entries, CFArray powerSources = {})
        : entries_(std::move(entries)), powerSources_(std::move(powerSources)) {}
    std::vector<std::shared_ptr<const IORegistryEntry>> entries() override { return entries_; }
    CFArray powerSources() override { return powerSources_; }

private:
    std::vector<std::shared_ptr<const IORegistryEntry>> entries_;
    CFArray powerSources_;
};

class IORegistry {
public:
    /// Failures a test can ask for.
    struct Faults {
        /// The result of every matching call (IOServiceGetMatchingServices); success by default.
        kern_return_t matching = KERN_SUCCESS;
        /// Entries whose whole-property read (IORegistryEntryCreateCFProperties) fails.
        std::function<bool(const IORegistryEntry&)> failsPropertiesRead;
        /// No snapshot of the power sources can be had (IOPSCopyPowerSourcesInfo).
        bool powerSourcesUnavailable = false;
    };

    explicit IORegistry(std::shared_ptr<IORegistryProvider> provider);

    /// The registry the IOKit calls use. Unless one was set, it is made on first use from the
    /// platform setting: the hardware profile named by HardwareProfile::path(), else the
    /// machine's own sysfs.
    static std::shared_ptr<IORegistry> current();
    /// Installs a registry (tests, demos); nullptr goes back to the platform setting.
    static void setCurrent(std::shared_ptr<IORegistry> registry);
    /// The provider the platform setting chooses. Stops the process when a named profile
    /// cannot be read.
    static std::shared_ptr<IORegistryProvider> defaultProvider();

    void setFaults(Faults faults);
    /// How many property reads (of one property or of all) the registry has answered.
    std::size_t propertyReads() const;
    /// Handles handed out and not yet released.
    std::size_t openHandles() const;

    // The operations behind the IOKit calls.
    kern_return_t matchingServices(const CFDictionaryRef& matching, io_iterator_t* iterator);
    io_service_t matchingService(const CFDictionaryRef& matching);
    io_object_t iteratorNext(io_iterator_t iterator);
    kern_return_t createProperties(io_registry_entry_t entry, CFMutableDictionaryRef* properties);
    CFTypeRef createProperty(io_registry_entry_t entry, const std::string& key);
    kern_return_t parentEntry(io_registry_entry_t entry, const char* plane, io_registry_entry_t* parent);
    CFTypeRef searchProperty(io_registry_entry_t entry, const char* plane, const std::string& key, IOOptionBits options);
    kern_return_t release(io_object_t object);
    /// A snapshot of the provider's power sources (an array of their descriptions); empty when
    /// none can be had.
    CFTypeRef powerSourcesInfo();

private:
    using Entry = std::shared_ptr<const IORegistryEntry>;
    using Snapshot = std::shared_ptr<const std::vector<Entry>>;
    /// An entry handle remembers the registry state it came from, so that its children can be found.
    struct EntryObject {
        Entry entry;
        Snapshot snapshot;
    };
    struct Iterator {
        Snapshot snapshot;
        std::vector<Entry> matches;
        std::size_t next = 0;
    };
    using Object = std::variant<EntryObject, Iterator>;

    kern_return_t matches(const CFDictionaryRef& matching, Snapshot& snapshot, std::vector<Entry>& found);
    const EntryObject* entryFor(io_object_t handle) const;
    /// The entry as it is now: itself, or for an entry with a location as the provider reads it
    /// again; none when it is gone.
    Entry entryNow(const EntryObject& object);
    io_object_t insert(Object object);

    std::shared_ptr<IORegistryProvider> provider_;
    mutable std::mutex mutex_;
    Faults faults_;
    std::map<io_object_t, Object> objects_;
    io_object_t nextHandle_ = 1;
    std::size_t propertyReads_ = 0;
};
