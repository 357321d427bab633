#pragma once
// An entry of a menu: a titled command, or a separator line between groups of entries.
#include <memory>
#include <string>

class NSMenuItem {
public:
    explicit NSMenuItem(std::string title = "", std::string keyEquivalent = "")
        : title_(std::move(title)), keyEquivalent_(std::move(keyEquivalent)) {}

    /// A new separator item.
    static std::shared_ptr<NSMenuItem> separator();

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    bool isSeparatorItem() const { return separator_; }

private:
    std::string title_;
    std::string keyEquivalent_;
    bool separator_ = false;
};
