#include "RarAvi/MenuBarItemController.hpp"

#include <algorithm>

namespace RarAvi {

namespace {
const std::string appearanceKeyPath = "button.effectiveAppearance";
}  // namespace

MenuBarItemController::MenuBarItemController() { startWith(std::make_shared<MenuBarItem>()); }

MenuBarItemController::MenuBarItemController(const std::shared_ptr<NSImage>& image) {
    startWith(std::make_shared<MenuBarItem>(image));
}

MenuBarItemController::MenuBarItemController(const std::shared_ptr<NSView>& view) {
    startWith(std::make_shared<MenuBarItem>(view));
}

MenuBarItemController::MenuBarItemController(const std::vector<std::shared_ptr<NSView>>& views) {
    startWith(std::make_shared<MenuBarItem>(views));
}

MenuBarItemController::MenuBarItemController(bool createItem) {
    if (createItem) startWith(std::make_shared<MenuBarItem>());
}

MenuBarItemController::~MenuBarItemController() {
    MenuBar::setCurrentItem(nullptr);
    // Only the status item actually observed is let go of: the first item may have changed, or
    // no item may ever have been observed.
    stopObserving();
}

void MenuBarItemController::startWith(const std::shared_ptr<MenuBarItem>& item) {
    add(item);
    MenuBar::setCurrentItem(item->item);
    observed_ = items_.front()->item;
    observed_->addObserver(this, appearanceKeyPath,
                           NSKeyValueObservingOptions::newValue() | NSKeyValueObservingOptions::initial());
}

void MenuBarItemController::stopObserving() {
    if (!observed_) return;
    observed_->removeObserver(this, appearanceKeyPath);
    observed_.reset();
}

std::shared_ptr<MenuBarItem> MenuBarItemController::mainItem() const { return items_.empty() ? nullptr : items_.front(); }

bool MenuBarItemController::isDarkMode() const {
    auto main = mainItem();
    return main && main->isDarkMode();
}

bool MenuBarItemController::menuBarVisible() const { return NSMenu::menuBarVisible(); }

std::shared_ptr<NSMenu> MenuBarItemController::menu() const {
    auto main = mainItem();
    return main ? main->menu() : nullptr;
}

void MenuBarItemController::setMenu(const std::shared_ptr<NSMenu>& menu) {
    if (auto main = mainItem()) main->setMenu(menu);
}

CGFloat MenuBarItemController::length() const {
    auto main = mainItem();
    return main ? main->length() : 0;
}

void MenuBarItemController::setLength(CGFloat length) {
    if (auto main = mainItem()) main->setLength(length);
}

void MenuBarItemController::add(const std::shared_ptr<MenuBarItem>& item) {
    if (!item) return;
    items_.push_back(item);
    if (delegate_) delegate_->menuBarItemsDidChange();
}

void MenuBarItemController::remove(const std::shared_ptr<MenuBarItem>& item) {
    if (!item) return;
    NSStatusBar::system().removeStatusItem(item->item);
    std::erase(items_, item);
    if (delegate_) delegate_->menuBarItemsDidChange();
}

void MenuBarItemController::removeAllButFirst() {
    if (items_.size() <= 1) return;
    const auto copy = items_;
    for (std::size_t i = 1; i < copy.size(); ++i) remove(copy[i]);
    if (delegate_) delegate_->menuBarItemsDidChange();
}

void MenuBarItemController::removeMainItem() {
    if (items_.empty()) return;
    stopObserving();
    MenuBar::setCurrentItem(nullptr);
    remove(items_.front());
}

std::shared_ptr<MenuBarItem> MenuBarItemController::makeItem(const std::shared_ptr<NSImage>& image) {
    return std::make_shared<MenuBarItem>(image);
}

std::shared_ptr<MenuBarItem> MenuBarItemController::makeItem(const std::shared_ptr<NSView>& view) {
    return std::make_shared<MenuBarItem>(view);
}

std::shared_ptr<MenuBarItem> MenuBarItemController::item(int at) const {
    if (at < 0 || static_cast<std::size_t>(at) >= items_.size()) return nullptr;
    return items_[static_cast<std::size_t>(at)];
}

void MenuBarItemController::observeValue(const std::string& keyPath, const void*, const NSKeyValueChange&, void*) {
    if (keyPath != appearanceKeyPath) return;
    for (const auto& item : std::vector<std::shared_ptr<MenuBarItem>>(items_)) {
        auto button = item->item->button();
        if (!button) continue;
        for (const auto& view : std::vector<std::shared_ptr<NSView>>(button->subviews())) view->layout();
    }
    // The report reads the main item; with none left there is nothing to report.
    if (delegate_ && !items_.empty()) delegate_->menuBarAppearanceDidChange(mainItem()->isDarkMode());
}

}  // namespace RarAvi
