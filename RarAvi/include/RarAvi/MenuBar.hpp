#pragma once
// A thin layer over the system status bar: items of variable length with an image, a title, a
// menu, a target and action or views of their own sized by constraints; a host view for custom
// content that shows the selection background while its menu item is highlighted; and the shared
// state and metrics of the bar (the status item whose appearance tells light from dark, the
// theme colour, the bar's thickness). Main thread only.
#include <any>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/NSVisualEffectView.hpp"
#include "AppKit/Selector.hpp"

namespace RarAvi {

enum class MenuBarTheme { light, dark };

std::string rawValue(MenuBarTheme theme);
/// "light" or "dark", exactly; any other text gives no theme.
std::optional<MenuBarTheme> menuBarThemeFrom(const std::string& raw);

class MenuBar {
public:
    MenuBar() = delete;

    /// The status item whose appearance tells light from dark; one for the whole process, set and
    /// cleared by the status-item controller.
    static std::shared_ptr<NSStatusItem> currentItem();
    static void setCurrentItem(const std::shared_ptr<NSStatusItem>& item);
    /// 2 and 3 points unless set.
    static CGFloat smallInset();
    static void setSmallInset(CGFloat inset);
    static CGFloat largeInset();
    static void setLargeInset(CGFloat inset);

    /// Whether the current item's button is drawn dark; false without one.
    static bool isDarkMode();
    static MenuBarTheme theme();
    /// Black for the light theme, white for the dark one.
    static std::shared_ptr<NSColor> themeColor();

    // Metrics, from the system status bar's thickness at the time of the call.
    static CGFloat thickness();
    static CGFloat height();
    static CGFloat halfThickness();
    static CGFloat paddedThickness();
    static CGFloat maxY();
    static CGFloat minY();
    static CGFloat centerOffset();
};

/// The theme colour of the status bar, as a colour of its own.
std::shared_ptr<NSColor> menuBarThemeColor();

/// One status item of variable length.
class MenuBarItem {
public:
    MenuBarItem();
    explicit MenuBarItem(const std::shared_ptr<NSImage>& image);
    explicit MenuBarItem(const std::shared_ptr<NSView>& view);
    explicit MenuBarItem(const std::vector<std::shared_ptr<NSView>>& views);
    virtual ~MenuBarItem() = default;

    std::shared_ptr<NSStatusItem> item;
    std::shared_ptr<NSLayoutConstraint> widthConstraint;
    std::shared_ptr<NSLayoutConstraint> heightConstraint;
    /// Free for the caller.
    std::any representedObject;

    // The status item's own properties.
    bool isVisible() const { return item->isVisible(); }
    void setVisible(bool visible) { item->setVisible(visible); }
    CGFloat length() const { return item->length(); }
    void setLength(CGFloat length) { item->setLength(length); }
    std::shared_ptr<NSMenu> menu() const { return item->menu(); }
    void setMenu(const std::shared_ptr<NSMenu>& menu) { item->setMenu(menu); }

    // The button's properties: absent (and not set) when the item has no button.
    std::shared_ptr<NSResponder> target() const;
    void setTarget(const std::shared_ptr<NSResponder>& target);
    Selector action() const;
    void setAction(const Selector& action);
    std::shared_ptr<NSImage> image() const;
    /// Removes the views, puts the image left of the title and shows the image.
    void setImage(const std::shared_ptr<NSImage>& image);
    std::optional<std::string> title() const;
    /// An absent title sets the empty one.
    void setTitle(const std::optional<std::string>& title);
    std::shared_ptr<NSFont> font() const;
    void setFont(const std::shared_ptr<NSFont>& font);
    /// The button's subviews; absent without a button.
    std::optional<std::vector<std::shared_ptr<NSView>>> views() const;
    /// Removes the views and the image (image left of the title), then adds the views in order.
    void setViews(const std::optional<std::vector<std::shared_ptr<NSView>>>& views);

    /// Whether the button is drawn dark; false without a button.
    bool isDarkMode() const;

    void removeAllViews();
    void addView(const std::shared_ptr<NSView>& view);
    /// Adds the view and pins it to the button's four edges.
    void addFillingView(const std::shared_ptr<NSView>& view);
    /// Sizes the button by a width and a height constraint, made once and then changed.
    void setSize(CGFloat width, CGFloat height);
    void setTarget(const std::shared_ptr<NSResponder>& target, const Selector& action, int tag);
    void removeTarget();
    /// Empties the button: no image, no constraints, no subviews. The size constraints are made
    /// anew by the next setSize.
    void reset();
};

/// A view for custom content in a menu: behind its subviews it shows the system's selection
/// background, while the menu item it is in is highlighted.
class MenuBarHostView : public NSView {
public:
    explicit MenuBarHostView(CGRect frame = {});
    /// A host view with its background set up.
    static std::shared_ptr<MenuBarHostView> make(CGRect frame = {});

    std::shared_ptr<NSVisualEffectView> effectView;

    bool isEmphasized() const { return emphasized_; }
    /// Redraws; the background keeps the emphasis it was set up with.
    virtual void setEmphasized(bool emphasized);
    CGFloat cornerRadius() const { return cornerRadius_; }
    /// Rounds the background's corners by the radius.
    virtual void setCornerRadius(CGFloat radius);
    bool allowsVibrancy() const { return false; }

    /// Makes the background: an active, selection-material effect view below all subviews,
    /// filling the host, with its corners rounded by the corner radius.
    virtual void setupEffectView();
    void draw(const CGRect& dirtyRect) override;

private:
    bool emphasized_ = true;
    CGFloat cornerRadius_ = 4.0;
};

}  // namespace RarAvi
