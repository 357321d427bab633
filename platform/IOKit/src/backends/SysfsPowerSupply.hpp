#pragma once
// The power supplies the sysfs provider has read: what each one's files that do not change told,
// kept while the supply stays the one it is, so that a search reads only what changes.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/backends/FileDescriptor.hpp"
#include "IOKit/IORegistry.hpp"
#include "SysfsFiles.hpp"
#include "SysfsHID.hpp"

namespace sysfs {

/// One power supply of <root>/class/power_supply as its files that do not change describe it.
/// Its folder is held open (as a path, for nothing but finding its files), so that a read of one
/// of its attributes looks up no more than the attribute's name.
struct PowerSupply {
    enum class Kind { peripheral, battery, mains, other };

    /// The supply listed under `name` with the inode `inode`, whose folder (with every link on the
    /// way followed) is `folder`.
    PowerSupply(std::string name, ino_t inode, std::string folder)
        : name(std::move(name)), inode(inode), folder(std::move(folder)),
          held(::open(this->folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

    /// Where its attributes are read from, and an attribute's path from there.
    int at() const { return held.get() >= 0 ? held.get() : AT_FDCWD; }
    std::string file(const char* attribute) const {
        return held.get() >= 0 ? std::string(attribute) : folder + "/" + attribute;
    }
    std::optional<std::string_view> text(AttributeReader& reader, const char* attribute) const {
        return reader.text(at(), file(attribute).c_str());
    }
    std::optional<std::string> string(AttributeReader& reader, const char* attribute) const {
        return reader.string(at(), file(attribute).c_str());
    }
    std::optional<std::int64_t> integer(AttributeReader& reader, const char* attribute) const {
        return reader.integer(at(), file(attribute).c_str());
    }
    // It stays the same supply while it is listed under its name with the inode it had. The
    // kernel makes a supply's folder, its class link and its `device` link together and removes
    // them together, and never gives a new link the inode of one just gone: a supply that goes
    // and comes back, on the same device or another, is listed with another inode.
    std::string name;
    ino_t inode;
    std::string folder;
    FileDescriptor held;

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

/// The supplies read so far, by name, and the reader whose buffer every read shares; one search
/// at a time uses them.
struct KnownSupplies {
    std::mutex mutex;
    AttributeReader reader;
    std::map<std::string, PowerSupply> supplies;
};

/// Reads what a battery of the machine was made with (in SysfsMachine.cpp).
void readBatteryDesign(AttributeReader& reader, PowerSupply& supply);

}  // namespace sysfs
