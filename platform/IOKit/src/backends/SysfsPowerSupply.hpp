#pragma once
// The power supplies the sysfs provider has read: what each one's files that do not change told,
// kept while the supply stays the one it is, so that a search reads only what changes, through
// descriptors it holds.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "IOKit/IORegistry.hpp"
#include "SysfsFiles.hpp"
#include "SysfsFolderWatch.hpp"
#include "SysfsHID.hpp"
#include "SysfsHeldAttributes.hpp"

namespace sysfs {

/// One power supply of <root>/class/power_supply as its files that do not change describe it,
/// with its changing attributes held open while its folder is watched.
struct PowerSupply {
    enum class Kind { peripheral, battery, mains, other };

    /// The supply listed under `name` with the inode `inode`, whose folder (with every link on the
    /// way followed) is `folder`: watched by `watch`, which tells when its files change, its
    /// attributes hold descriptors from `budget`.
    PowerSupply(std::string name, ino_t inode, std::string folder, const FolderWatch& watch, DescriptorBudget& budget)
        : name(std::move(name)), inode(inode), folder(std::move(folder)), watched(watch.watch(this->folder)),
          changing(this->folder, watched ? &budget : nullptr) {}

    /// The path of one of its files.
    std::string file(const char* attribute) const { return folder + "/" + attribute; }
    // Its files that do not change, read afresh each time.
    std::optional<std::string_view> text(AttributeReader& reader, const char* attribute) const {
        return reader.text(AT_FDCWD, file(attribute).c_str());
    }
    std::optional<std::string> string(AttributeReader& reader, const char* attribute) const {
        return reader.string(AT_FDCWD, file(attribute).c_str());
    }
    std::optional<std::int64_t> integer(AttributeReader& reader, const char* attribute) const {
        return reader.integer(AT_FDCWD, file(attribute).c_str());
    }
    // It stays the same supply while it is listed under its name with the inode it had. The
    // kernel makes a supply's folder, its class link and its `device` link together and removes
    // them together, and never gives a new link the inode of one just gone: a supply that goes
    // and comes back, on the same device or another, is listed with another inode. One whose
    // held attribute fails to read, or whose folder goes, is read afresh.
    std::string name;
    ino_t inode;
    std::string folder;
    FolderWatch::Watch watched;
    /// Its level, status and a battery's charge and the like.
    HeldAttributes changing;

    Kind kind = Kind::other;

    // A peripheral's battery: its registry values but the level and the transport while charging.
    std::string address, product;
    std::optional<HIDIdentity> hid;
    std::optional<std::string> behavior;
    /// The entry last made of it, with the level and charging state it was made with.
    std::shared_ptr<const IORegistryEntry> entry;
    std::int64_t percent = 0;
    bool charging = false;

    // A battery of the machine: its maker and what it was designed for.
    std::optional<std::string> manufacturer;
    std::optional<std::int64_t> manufactureDate, designCharge, designEnergy, designVoltage;
};

/// The supplies read so far, by name, the reader and the lister whose buffers every read shares,
/// and the watch of their folders; one search at a time uses them.
struct KnownSupplies {
    std::mutex mutex;
    AttributeReader reader;
    FolderLister lister;
    FolderWatch watch;
    DescriptorBudget budget;
    /// The class folder, held open while it is watched and the budget allows (opened for each
    /// listing otherwise), and its watch, which tells when it is moved away.
    FileDescriptor folder;
    FolderWatch::Watch folderWatched;
    void releaseFolder() {
        if (folder.get() < 0) return;
        folder.reset();
        folderWatched = {};
        budget.give();
    }
    std::map<std::string, PowerSupply, std::less<>> supplies;  // goes first, with its watches and descriptors
};

/// Reads what a battery of the machine was made with (in SysfsMachine.cpp).
void readBatteryDesign(AttributeReader& reader, PowerSupply& supply);

}  // namespace sysfs
