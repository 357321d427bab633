#pragma once
// A view that lays its subviews (the panes) out in a row (vertical dividers) or a column
// (horizontal dividers) with a divider between each two. Each pane but the last keeps its size
// along the split; the last takes what is left.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

enum class NSSplitViewDividerStyle { thick = 1, thin = 2, paneSplitter = 3 };

class NSSplitView : public NSView {
public:
    explicit NSSplitView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NSSplitView> make(CGRect frame = {}) { return std::make_shared<NSSplitView>(frame); }

    /// Whether the dividers are vertical, the panes side by side (false: panes one above another).
    bool isVertical() const { return vertical_; }
    void setVertical(bool vertical);
    NSSplitViewDividerStyle dividerStyle() const { return dividerStyle_; }
    void setDividerStyle(NSSplitViewDividerStyle style);
    /// 1 point for thin dividers, 9 otherwise.
    virtual CGFloat dividerThickness() const;
    /// The separator colour.
    virtual std::shared_ptr<NSColor> dividerColor() const { return NSColor::separatorColor(); }
    /// Fills the divider's rectangle with the divider colour.
    virtual void drawDivider(const CGRect& rect);

    /// Places the panes and dividers in the bounds.
    void adjustSubviews();
    /// The rectangle of the divider after a pane; empty when there is none.
    CGRect dividerRect(std::size_t index) const;

    bool isFlipped() const override { return true; }
    void layout() override;
    void draw(const CGRect& dirtyRect) override;

private:
    bool vertical_ = false;
    NSSplitViewDividerStyle dividerStyle_ = NSSplitViewDividerStyle::thick;
};
