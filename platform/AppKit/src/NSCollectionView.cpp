#include "AppKit/NSCollectionView.hpp"

#include "AppKit/NSBezierPath.hpp"

void NSCollectionView::setBackgroundColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    backgroundColors_ = colors;
    setNeedsDisplay();
}

void NSCollectionView::setBackgroundView(const std::shared_ptr<NSView>& view) {
    if (view == backgroundView_) return;
    if (backgroundView_ && backgroundView_->superview().get() == this) backgroundView_->removeFromSuperview();
    backgroundView_ = view;
    if (!view) return;
    addSubview(view, Ordering::below, nullptr);
    view->setFrame(bounds());
}

void NSCollectionView::layout() {
    NSView::layout();
    if (backgroundView_) backgroundView_->setFrame(bounds());
}

void NSCollectionView::draw(const CGRect&) {
    if (backgroundColors_.empty() || !backgroundColors_.front()) return;
    backgroundColors_.front()->setFill();
    NSBezierPath::rect(bounds())->fill();
}
