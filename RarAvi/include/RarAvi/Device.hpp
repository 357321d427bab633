#pragma once
// A model of phone, tablet, watch or music player, as the device catalogue describes it: its
// marketing name, a short name and the file name of its icon in the system's bundle of
// mobile-device icons. The class of the object tells the kind of model.
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSImage.hpp"

namespace RarAvi {

class Device {
public:
    Device(std::string name, std::string shortName, std::optional<std::string> iconName = std::nullopt);
    virtual ~Device() = default;

    virtual std::string name() const { return name_; }
    virtual void setName(std::string name) { name_ = std::move(name); }
    virtual std::string shortName() const { return shortName_; }
    virtual void setShortName(std::string shortName) { shortName_ = std::move(shortName); }
    virtual std::optional<std::string> iconName() const { return iconName_; }
    virtual void setIconName(std::optional<std::string> iconName) { iconName_ = std::move(iconName); }

    /// The model's icon from the system's mobile-device icon bundle, read anew on every call;
    /// nullptr without an icon name, without the bundle, or without that image in it.
    virtual std::shared_ptr<NSImage> icon() const;

    /// Where the system keeps its mobile-device icons (looked up under the system root).
    static constexpr const char* iconBundlePath =
        "/System/Library/CoreServices/CoreTypes.bundle/Contents/Library/MobileDevices.bundle";

private:
    std::string name_;
    std::string shortName_;
    std::optional<std::string> iconName_;
};

class Phone : public Device {
public:
    using Device::Device;
};

class Tablet : public Device {
public:
    using Device::Device;
};

class Watch : public Device {
public:
    using Device::Device;
};

class Audio : public Device {
public:
    using Device::Device;
};

}  // namespace RarAvi
