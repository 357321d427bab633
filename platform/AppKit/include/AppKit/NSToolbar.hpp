#pragma once
// A window's toolbar: a row of items in a band under the title bar. An item is a button (an image
// or, without one, its label, optionally with a border) that sends its action to its target, or
// hosts a view of its own (a segmented control, say). Flexible space items share the room left.
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSImage.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/Selector.hpp"

class NSToolbar;
class NSWindow;

class NSToolbarItem : public std::enable_shared_from_this<NSToolbarItem> {
public:
    using Identifier = std::string;
    static inline const Identifier flexibleSpace = "NSToolbarFlexibleSpaceItem";
    static inline const Identifier space = "NSToolbarSpaceItem";

    explicit NSToolbarItem(Identifier itemIdentifier) : itemIdentifier_(std::move(itemIdentifier)) {}
    static std::shared_ptr<NSToolbarItem> make(Identifier itemIdentifier) {
        return std::make_shared<NSToolbarItem>(std::move(itemIdentifier));
    }

    const Identifier& itemIdentifier() const { return itemIdentifier_; }
    const std::string& label() const { return label_; }
    void setLabel(std::string label);
    std::shared_ptr<NSImage> image() const { return image_; }
    void setImage(const std::shared_ptr<NSImage>& image);
    bool isBordered() const { return bordered_; }
    void setBordered(bool bordered);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string toolTip) { toolTip_ = std::move(toolTip); }

    const Selector& action() const { return action_; }
    void setAction(Selector action) { action_ = std::move(action); }
    std::shared_ptr<NSResponder> target() const { return target_.lock(); }
    void setTarget(const std::shared_ptr<NSResponder>& target) { target_ = target; }

    /// A custom view shown in place of the button; its frame's size is the item's size.
    std::shared_ptr<NSView> view() const { return view_; }
    void setView(const std::shared_ptr<NSView>& view);

    std::shared_ptr<NSToolbar> toolbar() const { return toolbar_.lock(); }
    /// The view that shows the item in the toolbar band (the custom view, or the platform's button);
    /// nullptr for spaces.
    std::shared_ptr<NSView> itemView();
    bool isSpace() const { return itemIdentifier_ == flexibleSpace || itemIdentifier_ == space; }

    /// Sends the action as a click would; returns whether someone received it.
    bool performAction();

private:
    friend class NSToolbar;
    void changed();

    Identifier itemIdentifier_;
    std::string label_;
    std::shared_ptr<NSImage> image_;
    bool bordered_ = false;
    bool enabled_ = true;
    std::string toolTip_;
    Selector action_;
    std::weak_ptr<NSResponder> target_;
    std::shared_ptr<NSView> view_;
    std::shared_ptr<NSView> button_;
    std::weak_ptr<NSToolbar> toolbar_;
};

class NSToolbar : public std::enable_shared_from_this<NSToolbar> {
public:
    using Identifier = std::string;
    explicit NSToolbar(Identifier identifier = "") : identifier_(std::move(identifier)) {}
    static std::shared_ptr<NSToolbar> make(Identifier identifier = "") {
        return std::make_shared<NSToolbar>(std::move(identifier));
    }

    const Identifier& identifier() const { return identifier_; }
    const std::vector<std::shared_ptr<NSToolbarItem>>& items() const { return items_; }
    void insertItem(const std::shared_ptr<NSToolbarItem>& item, std::size_t index);
    void addItem(const std::shared_ptr<NSToolbarItem>& item) { insertItem(item, items_.size()); }
    void removeItem(std::size_t index);
    std::shared_ptr<NSToolbarItem> item(const NSToolbarItem::Identifier& identifier) const;

    /// A hidden toolbar takes no room in its window.
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    std::shared_ptr<NSWindow> window() const { return window_.lock(); }

private:
    friend class NSWindow;
    friend class NSToolbarItem;
    void changed();

    Identifier identifier_;
    std::vector<std::shared_ptr<NSToolbarItem>> items_;
    bool visible_ = true;
    std::weak_ptr<NSWindow> window_;
};
