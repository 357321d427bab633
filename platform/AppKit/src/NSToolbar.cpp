#include "AppKit/NSToolbar.hpp"

#include <algorithm>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSWindow.hpp"
#include "WindowFrameView.hpp"

void NSToolbarItem::setLabel(std::string label) {
    label_ = std::move(label);
    changed();
}

void NSToolbarItem::setImage(const std::shared_ptr<NSImage>& image) {
    image_ = image;
    changed();
}

void NSToolbarItem::setBordered(bool bordered) {
    bordered_ = bordered;
    changed();
}

void NSToolbarItem::setEnabled(bool enabled) {
    enabled_ = enabled;
    changed();
}

void NSToolbarItem::setView(const std::shared_ptr<NSView>& view) {
    if (view_ && view_ != view) view_->removeFromSuperview();
    view_ = view;
    changed();
}

std::shared_ptr<NSView> NSToolbarItem::itemView() {
    if (isSpace()) return nullptr;
    if (view_) return view_;
    if (!button_) button_ = std::make_shared<ToolbarItemButton>(shared_from_this());
    return button_;
}

bool NSToolbarItem::performAction() {
    if (!enabled_ || !action_) return false;
    return NSApplication::shared().sendAction(action_, target(), shared_from_this());
}

void NSToolbarItem::changed() {
    if (button_) button_->setNeedsDisplay();
    if (auto toolbar = toolbar_.lock()) toolbar->changed();
}

void NSToolbar::insertItem(const std::shared_ptr<NSToolbarItem>& item, std::size_t index) {
    if (!item) return;
    item->toolbar_ = weak_from_this();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), item);
    changed();
}

void NSToolbar::removeItem(std::size_t index) {
    if (index >= items_.size()) return;
    if (auto view = items_[index]->itemView()) view->removeFromSuperview();
    items_[index]->toolbar_.reset();
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    changed();
}

std::shared_ptr<NSToolbarItem> NSToolbar::item(const NSToolbarItem::Identifier& identifier) const {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& i) { return i->itemIdentifier() == identifier; });
    return it == items_.end() ? nullptr : *it;
}

void NSToolbar::setVisible(bool visible) {
    if (visible == visible_) return;
    auto window = window_.lock();
    // The content keeps its size and the window its top edge, as when the toolbar came.
    CGRect content = window ? window->contentRect(window->frame()) : CGRect{};
    visible_ = visible;
    if (!window) return;
    CGRect frame = window->frameRect(content);
    frame.origin.y = window->frame().maxY() - frame.height();
    window->setFrame(frame);
    changed();
}

void NSToolbar::changed() {
    auto window = window_.lock();
    if (!window || !window->frameView_) return;
    window->frameView_->showToolbar(window->toolbar());
    window->setViewsNeedDisplay(true);
}
