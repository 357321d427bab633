#pragma once
// The platform's own window frame: the root view of a window, holding the content view, the
// toolbar band, the title bar with its buttons and, while open, the menu panel. Private to AppKit.
#include <memory>
#include <vector>

#include "AppKit/NSMenu.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/NSWindow.hpp"

/// One of the round buttons at the left of the title bar.
class WindowButton : public NSView {
public:
    WindowButton(NSWindow* window, NSWindow::ButtonType type) : window_(window), type_(type) {}
    void draw(const CGRect& dirtyRect) override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    NSWindow::ButtonType type() const { return type_; }

private:
    friend class WindowFrameView;
    NSWindow* window_;
    NSWindow::ButtonType type_;
    bool pressed_ = false;
};

/// The button at the right of the title bar that opens the application's menu.
class MenuButton : public NSView {
public:
    explicit MenuButton(NSWindow* window) : window_(window) {}
    void draw(const CGRect& dirtyRect) override;
    void mouseDown(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }

private:
    friend class WindowFrameView;
    NSWindow* window_;
};

class TitleBarView : public NSView {
public:
    explicit TitleBarView(NSWindow* window) : window_(window) {}
    void draw(const CGRect& dirtyRect) override;
    bool mouseDownCanMoveWindow() const override { return true; }

private:
    friend class WindowFrameView;
    NSWindow* window_;
};

class ToolbarView : public NSView {
    friend class WindowFrameView;

public:
    explicit ToolbarView(NSWindow* window) : window_(window) {}
    void draw(const CGRect& dirtyRect) override;
    bool mouseDownCanMoveWindow() const override { return true; }
    /// Shows the toolbar's items, placed from the left; flexible spaces share what is left over.
    void show(const std::shared_ptr<NSToolbar>& toolbar);

private:
    NSWindow* window_;
};

/// The button the platform draws for a toolbar item without a view of its own.
class ToolbarItemButton : public NSView {
public:
    explicit ToolbarItemButton(const std::shared_ptr<NSToolbarItem>& item) : item_(item) {}
    void draw(const CGRect& dirtyRect) override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    /// The size the button asks for.
    CGSize fittingSize() const;

private:
    std::weak_ptr<NSToolbarItem> item_;
    bool pressed_ = false;
};

/// The open menu: a panel of commands under the menu button, over a transparent layer that takes
/// the clicks around it (which close the menu).
class MenuPanel : public NSView {
    friend class WindowFrameView;

public:
    MenuPanel(NSWindow* window, std::vector<std::shared_ptr<NSMenuItem>> items)
        : window_(window), items_(std::move(items)) {}
    void draw(const CGRect& dirtyRect) override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return false; }
    /// The panel's rectangle in the view's bounds.
    CGRect panelRect() const;
    /// The item at a point of the view, none for separators and points outside the panel.
    std::shared_ptr<NSMenuItem> itemAt(CGPoint point) const;
    /// The rectangle of the item at `index` in the view's bounds.
    CGRect itemRect(std::size_t index) const;

private:
    NSWindow* window_;
    std::vector<std::shared_ptr<NSMenuItem>> items_;
    std::shared_ptr<NSMenuItem> pressed_;
};

class WindowFrameView : public NSView {
public:
    explicit WindowFrameView(NSWindow* window);
    /// Makes the title bar and its buttons; called once the frame view is shared.
    void build();
    void draw(const CGRect& dirtyRect) override;
    bool mouseDownCanMoveWindow() const override { return true; }
    NSResponder* nextResponder() const override;

    /// Places the title bar, toolbar band, content view and menu panel in the window's frame.
    void place();
    void setContent(const std::shared_ptr<NSView>& content);
    void showToolbar(const std::shared_ptr<NSToolbar>& toolbar);
    void openMenu(std::vector<std::shared_ptr<NSMenuItem>> items);
    void closeMenu();
    /// Forgets the window (it is going away).
    void detach();

    std::shared_ptr<TitleBarView> titleBar;
    std::shared_ptr<ToolbarView> toolbarBand;
    std::shared_ptr<WindowButton> closeButton, miniaturizeButton, zoomButton;
    std::shared_ptr<MenuButton> menuButton;
    std::shared_ptr<MenuPanel> menuPanel;
    std::weak_ptr<NSView> content;
    NSWindow* window;
};

/// Whether the appearance drawing now is a dark one.
bool drawingDark();
