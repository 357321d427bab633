#pragma once
// The band above a table's rows with its column titles. A scroll view shows it above its content.
#include <memory>

#include "AppKit/NSView.hpp"

class NSTableView;

class NSTableHeaderView : public NSView {
public:
    /// 28 points high unless given another frame.
    explicit NSTableHeaderView(CGRect frame = {0, 0, 0, 28}) : NSView(frame) {}
    static std::shared_ptr<NSTableHeaderView> make(CGRect frame = {0, 0, 0, 28}) {
        return std::make_shared<NSTableHeaderView>(frame);
    }

    std::shared_ptr<NSTableView> tableView() const { return tableView_.lock(); }
    void setTableView(const std::shared_ptr<NSTableView>& tableView) { tableView_ = tableView; }

    bool isFlipped() const override { return true; }
    /// The column titles in the secondary label colour over a line along the bottom.
    void draw(const CGRect& dirtyRect) override;

private:
    std::weak_ptr<NSTableView> tableView_;
};
