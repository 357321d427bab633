#pragma once
// The status bar: the right-hand part of the menu bar where applications put small items, each a
// button (image and/or title) with an optional menu. The bar keeps the items an application puts
// into it (it holds them weakly, as an item also leaves the bar when its last owner lets go of
// it), its thickness and the appearance it is drawn in, which the desktop decides (a setting; by
// default the application's). The desktop's tray shows the items where one runs
// (StatusNotifierTray); elsewhere they are kept in the bar only. A status item tells key-value
// observers of "button.effectiveAppearance" when its button's appearance changes.
#include <any>
#include <memory>
#include <vector>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSMenu.hpp"
#include "Foundation/KeyValueObserving.hpp"

class NSStatusItem;

/// Lengths of status items: as wide as the content, or as wide as the bar is thick.
inline constexpr CGFloat NSVariableStatusItemLength = -1;
inline constexpr CGFloat NSSquareStatusItemLength = -2;

class NSStatusBarButton : public NSButton {
public:
    NSStatusBarButton();
    void viewDidChangeEffectiveAppearance() override;

private:
    friend class NSStatusBar;
    std::weak_ptr<NSStatusItem> item_;
};

class NSStatusItem : public NSKeyValueObservable, public std::enable_shared_from_this<NSStatusItem> {
public:
    /// The item's button; nullptr once a custom view has replaced it.
    std::shared_ptr<NSStatusBarButton> button() const { return button_; }
    bool isVisible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    CGFloat length() const { return length_; }
    void setLength(CGFloat length) { length_ = length; }
    std::shared_ptr<NSMenu> menu() const { return menu_; }
    void setMenu(const std::shared_ptr<NSMenu>& menu) { menu_ = menu; }
    /// A custom view shown in place of the button (the older way of filling an item).
    std::shared_ptr<NSView> view() const { return view_; }
    void setView(const std::shared_ptr<NSView>& view);

protected:
    std::any valueForKeyPath(const std::string& keyPath) const override;

private:
    friend class NSStatusBar;
    friend class NSStatusBarButton;
    explicit NSStatusItem(CGFloat length) : length_(length) {}

    std::shared_ptr<NSStatusBarButton> button_;
    std::shared_ptr<NSView> view_;
    std::shared_ptr<NSMenu> menu_;
    CGFloat length_;
    bool visible_ = true;
};

class NSStatusBar {
public:
    static NSStatusBar& system();

    /// A new item in the bar, shown at once (in the desktop's tray from the next pass of the main
    /// loop).
    std::shared_ptr<NSStatusItem> statusItem(CGFloat length);
    /// Takes the item out of the bar.
    void removeStatusItem(const std::shared_ptr<NSStatusItem>& item);
    /// The items in the bar now, in the order they were added.
    std::vector<std::shared_ptr<NSStatusItem>> statusItems() const;
    bool containsItem(const std::shared_ptr<NSStatusItem>& item) const;

    /// The bar's height: 22 points unless set.
    CGFloat thickness() const { return thickness_; }
    void setThickness(CGFloat thickness) { thickness_ = thickness; }
    bool isVertical() const { return false; }

    /// The appearance the bar's items are drawn in; nullptr follows the application. Changing it
    /// reaches every item's button.
    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);

private:
    NSStatusBar() = default;

    std::vector<std::weak_ptr<NSStatusItem>> items_;
    CGFloat thickness_ = 22;
    std::shared_ptr<NSAppearance> appearance_;
};
