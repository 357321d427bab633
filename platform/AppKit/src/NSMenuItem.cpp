#include "AppKit/NSMenuItem.hpp"

#include <algorithm>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSMenu.hpp"

std::shared_ptr<NSMenuItem> NSMenuItem::separator() {
    auto item = std::make_shared<NSMenuItem>();
    item->separator_ = true;
    return item;
}

bool NSMenuItem::performAction() {
    if (separator_ || !enabled_ || !action_) return false;
    return NSApplication::shared().sendAction(action_, target(), shared_from_this());
}

void NSMenu::addItem(const std::shared_ptr<NSMenuItem>& item) {
    if (item) items_.push_back(item);
}

std::shared_ptr<NSMenuItem> NSMenu::addItem(std::string title, Selector action, std::string keyEquivalent) {
    auto item = NSMenuItem::make(std::move(title), std::move(action), std::move(keyEquivalent));
    items_.push_back(item);
    return item;
}

void NSMenu::removeItem(const std::shared_ptr<NSMenuItem>& item) { std::erase(items_, item); }

std::shared_ptr<NSMenuItem> NSMenu::item(const std::string& title) const {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& i) { return i->title() == title; });
    return it == items_.end() ? nullptr : *it;
}

std::vector<std::shared_ptr<NSMenuItem>> NSMenu::flattenedItems() const {
    std::vector<std::shared_ptr<NSMenuItem>> result;
    auto append = [&](const std::shared_ptr<NSMenuItem>& item) {
        if (item->isSeparatorItem() && (result.empty() || result.back()->isSeparatorItem())) return;
        result.push_back(item);
    };
    for (const auto& item : items_) {
        if (auto submenu = item->submenu()) {
            if (submenu->items().empty()) continue;
            if (!result.empty()) append(NSMenuItem::separator());
            for (const auto& entry : submenu->items()) append(entry);
        } else {
            append(item);
        }
    }
    while (!result.empty() && result.back()->isSeparatorItem()) result.pop_back();
    return result;
}
