#pragma once
// What a caller makes to put its presence into the system status bar: the first status item is
// made with the controller, further ones are added and removed, the first item's menu and length
// are forwarded, and the delegate hears when the list of items changed and when the bar turned
// light or dark (the first item's button appearance is observed). Main thread only.
#include <memory>
#include <vector>

#include "Foundation/KeyValueObserving.hpp"
#include "RarAvi/MenuBar.hpp"

namespace RarAvi {

class MenuBarDelegate {
public:
    virtual ~MenuBarDelegate() = default;
    virtual void menuBarItemsDidChange() = 0;
    virtual void menuBarAppearanceDidChange(bool isDarkMode) = 0;
};

/// What a caller may implement to give a status item custom content: the view to show and its
/// size. Nothing in the library calls it.
class MenuBarCustomContentProvider {
public:
    virtual ~MenuBarCustomContentProvider() = default;
    virtual std::shared_ptr<NSView> menuBarContentView() = 0;
    virtual CGSize menuBarContentSize() = 0;
};

class IMenuBarItemController {
public:
    virtual ~IMenuBarItemController() = default;
    virtual std::shared_ptr<MenuBarDelegate> delegate() const = 0;
    virtual void setDelegate(const std::shared_ptr<MenuBarDelegate>& delegate) = 0;
    virtual const std::vector<std::shared_ptr<MenuBarItem>>& items() const = 0;
    /// The first item; nullptr when there is none.
    virtual std::shared_ptr<MenuBarItem> mainItem() const = 0;
    virtual bool isDarkMode() const = 0;
    virtual bool menuBarVisible() const = 0;
    virtual int count() const = 0;
    virtual void add(const std::shared_ptr<MenuBarItem>& item) = 0;
    virtual void removeAllButFirst() = 0;
    virtual void remove(const std::shared_ptr<MenuBarItem>& item) = 0;
    virtual std::shared_ptr<MenuBarItem> makeItem(const std::shared_ptr<NSImage>& image) = 0;
    virtual std::shared_ptr<MenuBarItem> makeItem(const std::shared_ptr<NSView>& view) = 0;
    /// The item at the index; nullptr beyond the list.
    virtual std::shared_ptr<MenuBarItem> item(int at) const = 0;
    virtual void removeMainItem() = 0;
};

class MenuBarItemController : public IMenuBarItemController, public NSKeyValueObserver {
public:
    /// A controller with a main item of each kind, or (with false) without any item.
    MenuBarItemController();
    explicit MenuBarItemController(const std::shared_ptr<NSImage>& image);
    explicit MenuBarItemController(const std::shared_ptr<NSView>& view);
    explicit MenuBarItemController(const std::vector<std::shared_ptr<NSView>>& views);
    explicit MenuBarItemController(bool createItem);
    /// Clears the process's current status item and stops observing.
    ~MenuBarItemController() override;
    MenuBarItemController(const MenuBarItemController&) = delete;
    MenuBarItemController& operator=(const MenuBarItemController&) = delete;

    /// Held strongly.
    std::shared_ptr<MenuBarDelegate> delegate() const override { return delegate_; }
    void setDelegate(const std::shared_ptr<MenuBarDelegate>& delegate) override { delegate_ = delegate; }
    const std::vector<std::shared_ptr<MenuBarItem>>& items() const override { return items_; }
    std::shared_ptr<MenuBarItem> mainItem() const override;
    bool isDarkMode() const override;
    bool menuBarVisible() const override;
    int count() const override { return static_cast<int>(items_.size()); }
    /// The main item's menu and length (nothing and 0 without a main item).
    std::shared_ptr<NSMenu> menu() const;
    void setMenu(const std::shared_ptr<NSMenu>& menu);
    CGFloat length() const;
    void setLength(CGFloat length);

    void add(const std::shared_ptr<MenuBarItem>& item) override;
    /// Removes the item's status item from the bar and every occurrence of the item from the list.
    void remove(const std::shared_ptr<MenuBarItem>& item) override;
    void removeAllButFirst() override;
    void removeMainItem() override;
    std::shared_ptr<MenuBarItem> makeItem(const std::shared_ptr<NSImage>& image) override;
    std::shared_ptr<MenuBarItem> makeItem(const std::shared_ptr<NSView>& view) override;
    std::shared_ptr<MenuBarItem> item(int at) const override;

    void observeValue(const std::string& keyPath, const void* object, const NSKeyValueChange& change, void* context) override;

private:
    void startWith(const std::shared_ptr<MenuBarItem>& item);
    void stopObserving();

    std::shared_ptr<MenuBarDelegate> delegate_;
    std::vector<std::shared_ptr<MenuBarItem>> items_;
    /// The status item whose appearance is observed; nullptr when none is.
    std::shared_ptr<NSStatusItem> observed_;
};

}  // namespace RarAvi
