#pragma once
// A table whose rows form a tree. Only what a table does is built: its rows, background and header.
#include <memory>

#include "AppKit/NSTableView.hpp"

class NSOutlineView : public NSTableView {
public:
    explicit NSOutlineView(CGRect frame = {}) : NSTableView(frame) {}
    static std::shared_ptr<NSOutlineView> make(CGRect frame = {}) { return std::make_shared<NSOutlineView>(frame); }
};
