#include "ZododuvoZoz/HorizontalLine.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ZododuvoZoz/Constants.hpp"

namespace ZododuvoZoz {

HorizontalLine::HorizontalLine(CGRect frame) : NSView(frame), lineWidth_(2 * Constants::onePixel()) {}

void HorizontalLine::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    setNeedsDisplay();
}

void HorizontalLine::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    setNeedsDisplay();
}

void HorizontalLine::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    setNeedsDisplay();
}

void HorizontalLine::draw(const CGRect& dirtyRect) {
    NSView::draw(dirtyRect);
    if (!color_) return;
    CGFloat y = bounds().height() / 2 - lineWidth_ / 2;
    auto path = NSBezierPath::make();
    path->move({0, y});
    path->line({bounds().width(), y});
    path->setLineWidth(lineWidth_);
    color_->setStroke();
    path->stroke();
}

}  // namespace ZododuvoZoz
