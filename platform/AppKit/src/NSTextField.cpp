#include "AppKit/NSTextField.hpp"

NSTextField::NSTextField(CGRect frame) : NSControl(frame) {
    cell_->setBezeled(true);
    cell_->setDrawsBackground(true);
    cell_->setEditable(true);
}

std::shared_ptr<NSTextField> NSTextField::labelWithString(const std::string& text) {
    auto label = make();
    label->cell_->setBezeled(false);
    label->cell_->setDrawsBackground(false);
    label->cell_->setEditable(false);
    label->cell_->setSelectable(false);
    label->cell_->setStringValue(text);
    label->sizeToFit();
    return label;
}

std::shared_ptr<NSTextField> NSTextField::wrappingLabelWithString(const std::string& text) {
    auto label = labelWithString(text);
    label->cell_->setWraps(true);
    return label;
}

void NSTextField::setCell(const std::shared_ptr<NSTextFieldCell>& cell) {
    if (!cell || cell == cell_) return;
    cell_ = cell;
    setNeedsDisplay();
}

void NSTextField::setStringValue(const std::string& value) {
    if (value == cell_->stringValue()) return;
    cell_->setStringValue(value);
    setNeedsDisplay();
}

void NSTextField::setAlignment(NSTextAlignment alignment) {
    if (alignment == cell_->alignment()) return;
    cell_->setAlignment(alignment);
    setNeedsDisplay();
}

void NSTextField::setFont(const std::shared_ptr<NSFont>& font) {
    if (font == cell_->font()) return;
    cell_->setFont(font);
    setNeedsDisplay();
}

void NSTextField::setEnabled(bool enabled) {
    cell_->setEnabled(enabled);
    NSControl::setEnabled(enabled);
}

void NSTextField::setTextColor(const std::shared_ptr<NSColor>& color) {
    if (color == cell_->textColor()) return;
    cell_->setTextColor(color);
    setNeedsDisplay();
}

void NSTextField::setBackgroundColor(const std::shared_ptr<NSColor>& color) {
    if (color == cell_->backgroundColor()) return;
    cell_->setBackgroundColor(color);
    setNeedsDisplay();
}

void NSTextField::setDrawsBackground(bool draws) {
    if (draws == cell_->drawsBackground()) return;
    cell_->setDrawsBackground(draws);
    setNeedsDisplay();
}

void NSTextField::setBordered(bool bordered) {
    if (bordered == cell_->isBordered()) return;
    cell_->setBordered(bordered);
    setNeedsDisplay();
}

void NSTextField::setBezeled(bool bezeled) {
    if (bezeled == cell_->isBezeled()) return;
    cell_->setBezeled(bezeled);
    setNeedsDisplay();
}

void NSTextField::setLineBreakMode(NSLineBreakMode mode) {
    if (mode == cell_->lineBreakMode()) return;
    cell_->setLineBreakMode(mode);
    setNeedsDisplay();
}

void NSTextField::sizeToFit() { setFrameSize(cell_->cellSize()); }

void NSTextField::draw(const CGRect&) { cell_->drawWithFrame(bounds(), *this); }

// A field takes presses (there is no typing here to start); a label passes them on.
void NSTextField::mouseDown(const NSEvent& event) {
    if (!isEditable()) NSResponder::mouseDown(event);
}

void NSTextField::mouseDragged(const NSEvent& event) {
    if (!isEditable()) NSResponder::mouseDragged(event);
}

void NSTextField::mouseUp(const NSEvent& event) {
    if (!isEditable()) NSResponder::mouseUp(event);
}
