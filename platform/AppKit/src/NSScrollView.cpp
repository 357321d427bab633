#include "AppKit/NSScrollView.hpp"

#include <algorithm>
#include <limits>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSTableView.hpp"

// Clip views.

NSClipView::NSClipView(CGRect frame) : NSView(frame) { setClipsToBounds(true); }

void NSClipView::setDocumentView(const std::shared_ptr<NSView>& view) {
    if (view == documentView_) return;
    if (documentView_ && documentView_->superview().get() == this) documentView_->removeFromSuperview();
    documentView_ = view;
    if (!view) return;
    addSubview(view);
    if (auto table = std::dynamic_pointer_cast<NSTableView>(view)) table->tile();
    CGRect doc = view->frame();
    setBounds({constrained(isFlipped() ? CGPoint{doc.minX(), doc.minY()} : CGPoint{doc.minX(), doc.maxY()}), bounds().size});
    setNeedsDisplay();
}

void NSClipView::setBounds(const CGRect& bounds) {
    bool moved = bounds != this->bounds();
    NSView::setBounds(bounds);
    if (auto table = std::dynamic_pointer_cast<NSTableView>(documentView_); table && moved) table->tile();
}

void NSClipView::setDrawsBackground(bool draws) {
    drawsBackground_ = draws;
    setNeedsDisplay();
}

void NSClipView::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    backgroundColor_ = color;
    setNeedsDisplay();
}

CGRect NSClipView::documentVisibleRect() const {
    if (!documentView_) return bounds();
    CGRect visible = bounds().intersection(documentView_->frame());
    return visible.isNull() ? CGRect::zero() : visible;
}

CGPoint NSClipView::constrained(CGPoint origin) const {
    if (!documentView_) return origin;
    CGRect doc = documentView_->frame();
    CGSize size = bounds().size;
    origin.x = std::clamp(origin.x, doc.minX(), std::max(doc.minX(), doc.maxX() - size.width));
    origin.y = std::clamp(origin.y, doc.minY(), std::max(doc.minY(), doc.maxY() - size.height));
    return origin;
}

void NSClipView::scroll(CGPoint to) {
    CGRect b = bounds();
    b.origin = constrained(to);
    if (b != bounds()) {
        setBounds(b);
        setNeedsDisplay();
    }
}

void NSClipView::draw(const CGRect&) {
    if (!drawsBackground_ || !backgroundColor_) return;
    backgroundColor_->setFill();
    NSBezierPath::rect(bounds())->fill();
}

void NSClipView::resizeSubviews(CGSize oldSize) {
    NSView::resizeSubviews(oldSize);
    // A document that fits itself to the clip view (a table) does so in the next layout pass.
    if (documentView_) documentView_->setNeedsLayout();
    scroll(bounds().origin);
}

// Scroll views.

NSScrollView::NSScrollView(CGRect frame) : NSView(frame), contentView_(NSClipView::make()) {}

std::shared_ptr<NSScrollView> NSScrollView::make(CGRect frame) {
    auto view = std::make_shared<NSScrollView>(frame);
    view->tile();
    return view;
}

void NSScrollView::attachContentView() {
    if (weak_from_this().expired() || contentView_->superview().get() == this) return;
    addSubview(contentView_, Ordering::below, nullptr);
}

std::shared_ptr<NSClipView> NSScrollView::contentView() {
    attachContentView();
    return contentView_;
}

void NSScrollView::setContentView(const std::shared_ptr<NSClipView>& view) {
    if (!view || view == contentView_) return;
    auto document = contentView_->documentView();
    contentView_->setDocumentView(nullptr);
    contentView_->removeFromSuperview();
    contentView_ = view;
    if (document && !view->documentView()) view->setDocumentView(document);
    tile();
}

void NSScrollView::setDocumentView(const std::shared_ptr<NSView>& view) {
    attachContentView();
    contentView_->setDocumentView(view);
    tile();
}

void NSScrollView::tile() {
    attachContentView();
    CGRect b = bounds();
    auto table = std::dynamic_pointer_cast<NSTableView>(contentView_->documentView());
    auto header = table ? table->headerView() : nullptr;
    CGFloat headerHeight = 0;
    if (header) {
        if (!headerClipView_) {
            headerClipView_ = NSClipView::make();
            headerClipView_->setDrawsBackground(false);
        }
        if (!weak_from_this().expired() && headerClipView_->superview().get() != this) addSubview(headerClipView_);
        if (headerClipView_->documentView() != header) headerClipView_->setDocumentView(header);
        headerHeight = std::min(header->frame().height(), b.height());
        headerClipView_->setFrame({b.minX(), b.maxY() - headerHeight, b.width(), headerHeight});
        header->setFrame({0, 0, b.width(), headerHeight});
    } else if (headerClipView_) {
        headerClipView_->setDocumentView(nullptr);
        headerClipView_->removeFromSuperview();
        headerClipView_.reset();
    }
    contentView_->setFrame({b.minX(), b.minY(), b.width(), b.height() - headerHeight});
    if (table) table->tile();
}

void NSScrollView::setFrame(const CGRect& frame) {
    CGSize old = this->frame().size;
    NSView::setFrame(frame);
    if (frame.size != old) tile();
}

void NSScrollView::layout() {
    NSView::layout();
    tile();
}

void NSScrollView::draw(const CGRect&) { attachContentView(); }

std::shared_ptr<NSView> NSScrollView::hitTest(const CGPoint& point) {
    attachContentView();
    return NSView::hitTest(point);
}

void NSScrollView::scrollWheel(const NSEvent& event) {
    if (!contentView_->documentView()) return;
    // A wheel's deltas count lines, a touchpad's points.
    CGFloat dx = event.scrollingDeltaX, dy = event.scrollingDeltaY;
    if (!event.hasPreciseScrollingDeltas) {
        dx *= horizontalLineScroll_;
        dy *= verticalLineScroll_;
    }
    CGPoint origin = contentView_->bounds().origin;
    origin.x -= dx;
    origin.y += contentView_->isFlipped() ? -dy : dy;
    contentView_->scroll(origin);
}

void NSScrollView::scrollTowardsEnd(CGFloat points) {
    if (!contentView_->documentView()) return;
    // The end is the bottom: down the y axis of a flipped document, up it otherwise.
    CGPoint origin = contentView_->bounds().origin;
    origin.y += contentView_->isFlipped() ? points : -points;
    contentView_->scroll(origin);
}

void NSScrollView::keyDown(const NSEvent& event) {
    constexpr CGFloat everything = std::numeric_limits<CGFloat>::infinity();
    CGFloat page = std::max<CGFloat>(contentView_->bounds().height() - verticalPageScroll_, 1);
    switch (event.keyCode) {
        case NSEvent::KeyCode::pageDown: scrollTowardsEnd(page); break;
        case NSEvent::KeyCode::pageUp: scrollTowardsEnd(-page); break;
        case NSEvent::KeyCode::end: scrollTowardsEnd(everything); break;
        case NSEvent::KeyCode::home: scrollTowardsEnd(-everything); break;
        case NSEvent::KeyCode::downArrow: scrollTowardsEnd(verticalLineScroll_); break;
        case NSEvent::KeyCode::upArrow: scrollTowardsEnd(-verticalLineScroll_); break;
        default: NSView::keyDown(event); break;
    }
}
