#include "AppKit/NSMenuItem.hpp"

std::shared_ptr<NSMenuItem> NSMenuItem::separator() {
    auto item = std::make_shared<NSMenuItem>();
    item->separator_ = true;
    return item;
}
