#include "AppKit/NSSplitView.hpp"

#include <algorithm>

#include "AppKit/NSBezierPath.hpp"

void NSSplitView::setVertical(bool vertical) {
    vertical_ = vertical;
    setNeedsLayout();
    setNeedsDisplay();
}

void NSSplitView::setDividerStyle(NSSplitViewDividerStyle style) {
    dividerStyle_ = style;
    setNeedsLayout();
    setNeedsDisplay();
}

CGFloat NSSplitView::dividerThickness() const { return dividerStyle_ == NSSplitViewDividerStyle::thin ? 1 : 9; }

void NSSplitView::drawDivider(const CGRect& rect) {
    auto color = dividerColor();
    if (!color) return;
    color->setFill();
    NSBezierPath::rect(rect)->fill();
}

void NSSplitView::adjustSubviews() {
    const auto& panes = subviews();
    CGRect b = bounds();
    CGFloat thickness = dividerThickness();
    CGFloat position = vertical_ ? b.minX() : b.minY();
    CGFloat end = vertical_ ? b.maxX() : b.maxY();
    for (std::size_t i = 0; i < panes.size(); ++i) {
        bool last = i + 1 == panes.size();
        CGRect f = panes[i]->frame();
        CGFloat length = last ? end - position : (vertical_ ? f.width() : f.height());
        length = std::clamp<CGFloat>(length, 0, std::max<CGFloat>(0, end - position));
        panes[i]->setFrame(vertical_ ? CGRect{position, b.minY(), length, b.height()}
                                     : CGRect{b.minX(), position, b.width(), length});
        position += length + thickness;
    }
}

CGRect NSSplitView::dividerRect(std::size_t index) const {
    const auto& panes = subviews();
    if (index + 1 >= panes.size()) return CGRect::zero();
    CGRect f = panes[index]->frame();
    CGRect b = bounds();
    return vertical_ ? CGRect{f.maxX(), b.minY(), dividerThickness(), b.height()}
                     : CGRect{b.minX(), f.maxY(), b.width(), dividerThickness()};
}

void NSSplitView::layout() {
    NSView::layout();
    adjustSubviews();
}

void NSSplitView::draw(const CGRect&) {
    for (std::size_t i = 0; i + 1 < subviews().size(); ++i) {
        CGRect rect = dividerRect(i);
        if (!rect.isEmpty()) drawDivider(rect);
    }
}
