#pragma once
// The view inside a scroll view that shows part of its document view: its bounds origin is the
// scroll position in the document's coordinates. It clips what it shows to its bounds, is flipped
// when its document view is, and draws its background colour unless told not to.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

class NSClipView : public NSView {
public:
    explicit NSClipView(CGRect frame = {});
    static std::shared_ptr<NSClipView> make(CGRect frame = {}) { return std::make_shared<NSClipView>(frame); }

    std::shared_ptr<NSView> documentView() const { return documentView_; }
    /// Replaces the document view, shown from its start (top for a flipped document).
    void setDocumentView(const std::shared_ptr<NSView>& view);
    /// True unless set.
    bool drawsBackground() const { return drawsBackground_; }
    void setDrawsBackground(bool draws);
    /// The control background colour unless set.
    std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const std::shared_ptr<NSColor>& color);

    /// The part of the document view shown, in its coordinates.
    CGRect documentVisibleRect() const;
    /// Moves the bounds origin to the point, kept where the document fills the view if it can.
    void scroll(CGPoint to);

    bool isFlipped() const override { return documentView_ && documentView_->isFlipped(); }
    /// Scrolls; a table shown brings in the views of the rows that came into view.
    void setBounds(const CGRect& bounds) override;
    void draw(const CGRect& dirtyRect) override;
    void resizeSubviews(CGSize oldSize) override;

private:
    CGPoint constrained(CGPoint origin) const;

    std::shared_ptr<NSView> documentView_;
    bool drawsBackground_ = true;
    std::shared_ptr<NSColor> backgroundColor_ = NSColor::controlBackgroundColor();
};
