#pragma once
// An entry of a menu: a titled command, or a separator line between groups of entries. Choosing a
// command sends its action to its target (held weakly), or, without a target, to the first object
// of the application's responder chain that answers to it.
#include <memory>
#include <string>

#include "AppKit/Selector.hpp"

class NSMenu;
class NSResponder;
class NSView;

class NSMenuItem : public std::enable_shared_from_this<NSMenuItem> {
public:
    explicit NSMenuItem(std::string title = "", Selector action = {}, std::string keyEquivalent = "")
        : title_(std::move(title)), keyEquivalent_(std::move(keyEquivalent)), action_(std::move(action)) {}
    NSMenuItem(std::string title, std::string keyEquivalent) : NSMenuItem(std::move(title), {}, std::move(keyEquivalent)) {}

    static std::shared_ptr<NSMenuItem> make(std::string title, Selector action = {}, std::string keyEquivalent = "") {
        return std::make_shared<NSMenuItem>(std::move(title), std::move(action), std::move(keyEquivalent));
    }
    /// A new separator item.
    static std::shared_ptr<NSMenuItem> separator();

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    bool isSeparatorItem() const { return separator_; }

    const Selector& action() const { return action_; }
    void setAction(Selector action) { action_ = std::move(action); }
    std::shared_ptr<NSResponder> target() const { return target_.lock(); }
    void setTarget(const std::shared_ptr<NSResponder>& target) { target_ = target; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    std::shared_ptr<NSMenu> submenu() const { return submenu_; }
    void setSubmenu(const std::shared_ptr<NSMenu>& submenu) { submenu_ = submenu; }
    bool hasSubmenu() const { return submenu_ != nullptr; }

    /// Sends the action as a click on the item would; returns whether someone received it.
    bool performAction();

    /// A view shown in place of the title; the view (and what is inside it) then has the item
    /// as its enclosing menu item.
    std::shared_ptr<NSView> view() const { return view_; }
    void setView(const std::shared_ptr<NSView>& view);
    /// Whether the item is highlighted (the pointer is on it while its menu is open); a change
    /// redraws the item's view.
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

private:
    std::string title_;
    std::string keyEquivalent_;
    Selector action_;
    std::weak_ptr<NSResponder> target_;
    std::shared_ptr<NSMenu> submenu_;
    std::shared_ptr<NSView> view_;
    bool highlighted_ = false;
    bool separator_ = false;
    bool enabled_ = true;
    int tag_ = 0;
};
