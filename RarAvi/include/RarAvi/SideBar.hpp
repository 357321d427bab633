#pragma once
// The model of a source-list sidebar: groups of titled items, each item with an icon and an
// object of the caller's attached.
#include <any>
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSImage.hpp"

namespace RarAvi {

class SideBarObject {
public:
    explicit SideBarObject(std::string title) : title_(std::move(title)) {}
    virtual ~SideBarObject() = default;

    virtual const std::string& title() const { return title_; }
    virtual void setTitle(std::string title) { title_ = std::move(title); }

private:
    std::string title_;
};

class SideBarItem : public SideBarObject {
public:
    SideBarItem(std::string title, std::shared_ptr<NSImage> icon) : SideBarObject(std::move(title)), icon_(std::move(icon)) {}
    SideBarItem(std::string title, std::shared_ptr<NSImage> icon, std::any representedObject)
        : SideBarObject(std::move(title)), icon_(std::move(icon)), representedObject_(std::move(representedObject)) {}

    virtual std::shared_ptr<NSImage> icon() const { return icon_; }
    virtual const std::any& representedObject() const { return representedObject_; }
    virtual void setRepresentedObject(std::any object) { representedObject_ = std::move(object); }

private:
    std::shared_ptr<NSImage> icon_;
    std::any representedObject_;
};

class SideBarGroup : public SideBarObject {
public:
    explicit SideBarGroup(std::string title) : SideBarObject(std::move(title)) {}

    virtual const std::vector<std::shared_ptr<SideBarItem>>& items() const { return items_; }
    /// Makes an item and appends it.
    virtual void addItem(std::string title, std::shared_ptr<NSImage> icon);
    virtual void addItem(std::string title, std::shared_ptr<NSImage> icon, std::any representedObject);
    virtual void add(const std::shared_ptr<SideBarItem>& item);
    /// Removes every occurrence of that very item (an equal-looking other item stays).
    virtual void remove(const std::shared_ptr<SideBarItem>& item);

private:
    std::vector<std::shared_ptr<SideBarItem>> items_;
};

}  // namespace RarAvi
