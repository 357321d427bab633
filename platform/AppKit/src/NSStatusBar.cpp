#include "AppKit/NSStatusBar.hpp"

#include <algorithm>
#include <atomic>

#include "AppKit/backends/StatusNotifierTray.hpp"

namespace {
const std::string buttonAppearanceKeyPath = "button.effectiveAppearance";
std::atomic<bool> menuBarShown{true};
}  // namespace

// MARK: - The menu bar

bool NSMenu::menuBarVisible() { return menuBarShown.load(); }

void NSMenu::setMenuBarVisible(bool visible) { menuBarShown.store(visible); }

// MARK: - Buttons and items

NSStatusBarButton::NSStatusBarButton() {
    setBordered(false);
    setTitle("");
}

void NSStatusBarButton::viewDidChangeEffectiveAppearance() {
    NSButton::viewDidChangeEffectiveAppearance();
    if (auto item = item_.lock()) item->didChangeValue(buttonAppearanceKeyPath);
}

void NSStatusItem::setView(const std::shared_ptr<NSView>& view) {
    view_ = view;
    if (button_) {
        button_.reset();
        didChangeValue(buttonAppearanceKeyPath);
    }
}

std::any NSStatusItem::valueForKeyPath(const std::string& keyPath) const {
    if (keyPath == buttonAppearanceKeyPath) return button_ ? button_->effectiveAppearance() : std::shared_ptr<NSAppearance>();
    if (keyPath == "button") return button_;
    if (keyPath == "length") return length_;
    if (keyPath == "isVisible") return visible_;
    return {};
}

// MARK: - The bar

NSStatusBar& NSStatusBar::system() {
    static NSStatusBar* bar = new NSStatusBar();
    return *bar;
}

std::shared_ptr<NSStatusItem> NSStatusBar::statusItem(CGFloat length) {
    StatusNotifierTray::start();
    std::shared_ptr<NSStatusItem> item(new NSStatusItem(length));
    item->button_ = std::make_shared<NSStatusBarButton>();
    item->button_->item_ = item;
    if (appearance_) item->button_->setAppearance(appearance_);
    std::erase_if(items_, [](const std::weak_ptr<NSStatusItem>& weak) { return weak.expired(); });
    items_.push_back(item);
    return item;
}

void NSStatusBar::removeStatusItem(const std::shared_ptr<NSStatusItem>& item) {
    std::erase_if(items_, [&](const std::weak_ptr<NSStatusItem>& weak) {
        auto strong = weak.lock();
        return !strong || strong == item;
    });
}

std::vector<std::shared_ptr<NSStatusItem>> NSStatusBar::statusItems() const {
    std::vector<std::shared_ptr<NSStatusItem>> items;
    for (const auto& weak : items_) {
        if (auto item = weak.lock()) items.push_back(item);
    }
    return items;
}

bool NSStatusBar::containsItem(const std::shared_ptr<NSStatusItem>& item) const {
    return std::any_of(items_.begin(), items_.end(), [&](const std::weak_ptr<NSStatusItem>& weak) {
        return !weak.expired() && weak.lock() == item;
    });
}

void NSStatusBar::setAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    appearance_ = appearance;
    for (const auto& item : statusItems()) {
        if (auto button = item->button()) button->setAppearance(appearance);
    }
}
