#include "ZododuvoZoz/BackgroundlessViews.hpp"

namespace ZododuvoZoz {
namespace {
// The scroll view around a list, when there is one, and its content view draw no background.
void clearEnclosingScrollView(const NSView& list) {
    auto scrollView = list.enclosingScrollView();
    if (!scrollView) return;
    scrollView->setDrawsBackground(false);
    scrollView->contentView()->setDrawsBackground(false);
}
}  // namespace

NoBackgroundCollectionView::NoBackgroundCollectionView(CGRect frame) : NSCollectionView(frame) { setup(); }

void NoBackgroundCollectionView::setup() {
    clearEnclosingScrollView(*this);
    setBackgroundColors({NSColor::clearColor()});
}

NoBackgroundOutlineView::NoBackgroundOutlineView(CGRect frame) : NSOutlineView(frame) { setup(); }

void NoBackgroundOutlineView::setup() {
    clearEnclosingScrollView(*this);
    setBackgroundColor(NSColor::clearColor());
}

NoBackgroundTableView::NoBackgroundTableView(CGRect frame) : NSTableView(frame) { setup(); }

void NoBackgroundTableView::setup() {
    if (auto header = headerView()) {
        if (auto band = header->superview()) {
            band->setWantsLayer(true);
            if (auto layer = band->layer()) {
                layer->setCornerRadius(8.0);
                layer->setBackgroundColor(CGColor::clear());
            }
        }
    }
    clearEnclosingScrollView(*this);
    setBackgroundColor(NSColor::clearColor());
}

NoBackgroundScrollView::NoBackgroundScrollView(CGRect frame) : NSScrollView(frame) {
    setDrawsBackground(false);
    contentView()->setDrawsBackground(false);
}

}  // namespace ZododuvoZoz
