// Menu items that show a view, and the views that find the menu item they are in.
#include "AppKit/NSMenuItem.hpp"
#include "AppKit/NSView.hpp"

void NSMenuItem::setView(const std::shared_ptr<NSView>& view) {
    if (view_ && view_->menuItem_.lock().get() == this) view_->menuItem_.reset();
    view_ = view;
    if (view_) view_->menuItem_ = weak_from_this();
}

void NSMenuItem::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    if (view_) view_->setNeedsDisplay(true);
}

std::shared_ptr<NSMenuItem> NSView::enclosingMenuItem() const {
    if (auto item = menuItem_.lock()) return item;
    for (auto view = superview_.lock(); view; view = view->superview_.lock()) {
        if (auto item = view->menuItem_.lock()) return item;
    }
    return nullptr;
}
