#pragma once
// A view that shows a document view through its clip view (the content view) and scrolls it with
// the scroll wheel (by the line scrolls a line, or by points for precise deltas) and the keys:
// Page Up and Page Down by the visible height less verticalPageScroll, Home and End to the
// document's start and end, the arrows by verticalLineScroll. A table's header view is shown above
// the content, in a clip view of its own. Its drawing of a background is the content view's.
#include <memory>

#include "AppKit/NSClipView.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSView.hpp"

class NSScrollView : public NSView {
public:
    explicit NSScrollView(CGRect frame = {});
    static std::shared_ptr<NSScrollView> make(CGRect frame = {});

    /// The clip view; it exists from the start and becomes a subview once the scroll view is shared.
    std::shared_ptr<NSClipView> contentView();
    void setContentView(const std::shared_ptr<NSClipView>& view);
    std::shared_ptr<NSView> documentView() const { return contentView_->documentView(); }
    void setDocumentView(const std::shared_ptr<NSView>& view);
    /// The content view's.
    bool drawsBackground() const { return contentView_->drawsBackground(); }
    void setDrawsBackground(bool draws) { contentView_->setDrawsBackground(draws); }
    std::shared_ptr<NSColor> backgroundColor() const { return contentView_->backgroundColor(); }
    void setBackgroundColor(const std::shared_ptr<NSColor>& color) { contentView_->setBackgroundColor(color); }
    CGRect documentVisibleRect() const { return contentView_->documentVisibleRect(); }
    /// The clip view that shows the table header; nullptr while the document has no header.
    std::shared_ptr<NSClipView> headerClipView() const { return headerClipView_; }

    /// Places the header and content views in the bounds and lets the document fit itself to them.
    void tile();

    void setFrame(const CGRect& frame) override;
    void layout() override;
    void draw(const CGRect& dirtyRect) override;
    std::shared_ptr<NSView> hitTest(const CGPoint& point) override;
    /// Scrolls the content by the event's deltas, in lines or points as the event says: a positive
    /// vertical delta shows what lies above, a positive horizontal one what lies to the left.
    void scrollWheel(const NSEvent& event) override;
    /// Scrolls by the navigation keys (above); other keys go on to the next responder.
    void keyDown(const NSEvent& event) override;
    /// How much of the document stays in view from one page to the next (10 points unless set).
    CGFloat verticalPageScroll() const { return verticalPageScroll_; }
    void setVerticalPageScroll(CGFloat points) { verticalPageScroll_ = points; }
    /// How far an arrow key or a line of the wheel scrolls (10 points unless set; a table makes it
    /// its row pitch).
    CGFloat verticalLineScroll() const { return verticalLineScroll_; }
    void setVerticalLineScroll(CGFloat points) { verticalLineScroll_ = points; }
    /// How far a line of the wheel scrolls sideways (10 points unless set).
    CGFloat horizontalLineScroll() const { return horizontalLineScroll_; }
    void setHorizontalLineScroll(CGFloat points) { horizontalLineScroll_ = points; }
    /// Scrolls towards the document's end by `points` (towards its start when negative), as far as
    /// the document reaches.
    void scrollTowardsEnd(CGFloat points);

private:
    /// Makes the content view a subview when the scroll view is shared and it is not yet one.
    void attachContentView();

    std::shared_ptr<NSClipView> contentView_;
    std::shared_ptr<NSClipView> headerClipView_;
    CGFloat verticalPageScroll_ = 10;
    CGFloat verticalLineScroll_ = 10;
    CGFloat horizontalLineScroll_ = 10;
};
