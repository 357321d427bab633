#include "ZododuvoZoz/Presentation/DotView.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSEvent.hpp"

namespace ZododuvoZoz {

void DotView::setCount(int count) {
    count_ = std::max(count, 0);
    setNeedsDisplay(true);
}

void DotView::setSelectedDot(int index) {
    selectedDot_ = index;
    setNeedsDisplay(true);
}

void DotView::setDistance(CGFloat distance) {
    distance_ = distance;
    setNeedsDisplay(true);
}

CGRect DotView::dotRect(int index) const {
    CGFloat diameter = bounds().height() - 2;
    int dots = count();
    CGFloat halfRow = std::trunc((diameter * dots + distance() * (dots - 1)) * 0.5 + 1);
    CGFloat start = std::trunc(bounds().width() * 0.5) - halfRow;
    return {(diameter + distance()) * index + start, 1, diameter, diameter};
}

void DotView::draw(const CGRect&) {
    for (int index = 0; index < count(); ++index) {
        (index == selectedDot() ? NSColor::controlAccentColor() : NSColor::separatorColor())->setFill();
        NSBezierPath::ovalIn(dotRect(index))->fill();
    }
}

void DotView::mouseDown(const NSEvent& event) {
    CGFloat x = convert(event.locationInWindow, nullptr).x;
    for (int index = 0; index < count(); ++index) {
        CGRect dot = dotRect(index);
        if (dot.minX() <= x && x < dot.minX() + dot.width()) {
            setSelectedDot(index);
            if (auto owner = delegate()) owner->dotView(*this, index);
            return;
        }
    }
}

}  // namespace ZododuvoZoz
