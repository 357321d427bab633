#pragma once
// A menu: a titled list of items. The application's main menu is reached through a button in the
// title bar of its windows, which lists the items of the main menu's submenus.
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSMenuItem.hpp"

class NSMenu {
public:
    explicit NSMenu(std::string title = "") : title_(std::move(title)) {}
    static std::shared_ptr<NSMenu> make(std::string title = "") { return std::make_shared<NSMenu>(std::move(title)); }

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    const std::vector<std::shared_ptr<NSMenuItem>>& items() const { return items_; }
    void addItem(const std::shared_ptr<NSMenuItem>& item);
    std::shared_ptr<NSMenuItem> addItem(std::string title, Selector action, std::string keyEquivalent = "");
    void removeItem(const std::shared_ptr<NSMenuItem>& item);
    std::shared_ptr<NSMenuItem> item(const std::string& title) const;
    std::size_t numberOfItems() const { return items_.size(); }

    /// The commands a person can choose, in order: the items of each submenu (or the item itself
    /// when it has none), with separators between the groups; no separator leads or trails.
    std::vector<std::shared_ptr<NSMenuItem>> flattenedItems() const;

    /// Whether the menu bar is shown now (true unless set).
    static bool menuBarVisible();
    static void setMenuBarVisible(bool visible);

private:
    std::string title_;
    std::vector<std::shared_ptr<NSMenuItem>> items_;
};
