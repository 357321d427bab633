#include "ZododuvoZoz/TextCells.hpp"

#include "AppKit/NSBezierPath.hpp"

namespace ZododuvoZoz {

void SearchTextFieldCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) {
    drawInterior({0, 0, cellFrame.width(), cellFrame.height()}, controlView);
}

namespace {
// A line of the thickness along the bottom of the flipped cell, then the interior above it.
template <class Cell>
void drawSingleLine(Cell& cell, const CGRect& cellFrame, NSView& controlView, CGFloat thickness) {
    NSColor::tertiaryLabelColor()->set();
    auto line = NSBezierPath::make();
    line->setLineWidth(thickness);
    line->move({0, cellFrame.height() - 0.5});
    line->line({cellFrame.width(), cellFrame.height() - 0.5});
    line->stroke();
    cell.drawInterior({0, 0, cellFrame.width(), cellFrame.height() - thickness}, controlView);
}
}  // namespace

CGSize SingleLineTextFieldCell::cellSize() const {
    CGSize size = NSTextFieldCell::cellSize();
    return {size.width, size.height + borderThickness};
}

void SingleLineTextFieldCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) {
    drawSingleLine(*this, cellFrame, controlView, borderThickness);
}

CGSize SingleLineSecureTextFieldCell::cellSize() const {
    CGSize size = NSSecureTextFieldCell::cellSize();
    return {size.width, size.height + borderThickness};
}

void SingleLineSecureTextFieldCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) {
    drawSingleLine(*this, cellFrame, controlView, borderThickness);
}

CGRect CenteredTextCell::titleRect(const CGRect& bounds) const {
    CGRect rect = NSTextFieldCell::titleRect(bounds);
    rect.origin.y = bounds.minY() + (bounds.height() - attributedStringValue().size().height) * 0.5;
    return rect;
}

void CenteredTextCell::drawInterior(const CGRect& cellFrame, NSView&) {
    drawText(attributedStringValue(), titleRect(cellFrame));
}

}  // namespace ZododuvoZoz
