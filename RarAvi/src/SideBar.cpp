#include "RarAvi/SideBar.hpp"

namespace RarAvi {

void SideBarGroup::addItem(std::string title, std::shared_ptr<NSImage> icon) {
    items_.push_back(std::make_shared<SideBarItem>(std::move(title), std::move(icon)));
}

void SideBarGroup::addItem(std::string title, std::shared_ptr<NSImage> icon, std::any representedObject) {
    items_.push_back(std::make_shared<SideBarItem>(std::move(title), std::move(icon), std::move(representedObject)));
}

void SideBarGroup::add(const std::shared_ptr<SideBarItem>& item) { items_.push_back(item); }

void SideBarGroup::remove(const std::shared_ptr<SideBarItem>& item) { std::erase(items_, item); }

}  // namespace RarAvi
