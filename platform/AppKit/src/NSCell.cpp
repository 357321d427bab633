#include "AppKit/NSCell.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKit/NSMutableParagraphStyle.hpp"
#include "AppKit/NSSearchFieldCell.hpp"
#include "AppKit/NSSecureTextFieldCell.hpp"
#include "AppKit/NSTextFieldCell.hpp"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

NSCell::NSCell(std::string text)
    : stringValue_(std::move(text)), font_(NSFont::systemFont(NSFont::systemFontSize())) {}

void NSCell::setWraps(bool wraps) {
    lineBreakMode_ = wraps ? NSLineBreakMode::byWordWrapping : NSLineBreakMode::byClipping;
}

std::shared_ptr<NSColor> NSCell::drawingTextColor() const {
    return enabled_ ? NSColor::labelColor() : NSColor::tertiaryLabelColor();
}

namespace {
NSAttributes attributesOf(const NSCell& cell, const std::shared_ptr<NSColor>& color) {
    auto paragraph = NSParagraphStyle::defaultStyle()->mutableCopy();
    paragraph->setAlignment(cell.alignment());
    paragraph->setLineBreakMode(cell.lineBreakMode());
    NSAttributes attributes{{NSAttributedStringKey::paragraphStyle(), std::shared_ptr<const NSParagraphStyle>(paragraph)},
                            {NSAttributedStringKey::foregroundColor(), color}};
    if (cell.font()) attributes[NSAttributedStringKey::font()] = cell.font();
    return attributes;
}
}  // namespace

NSAttributedString NSCell::attributedStringValue() const {
    return NSAttributedString(stringValue_, attributesOf(*this, drawingTextColor()));
}

NSAttributedString NSCell::displayedAttributedString() const {
    return NSAttributedString(displayedString(), attributesOf(*this, drawingTextColor()));
}

CGSize NSCell::cellSize() const {
    CGSize text = displayedAttributedString().size();
    CGSize inset = textInset();
    return {std::ceil(text.width + 2 * inset.width), std::ceil(text.height + 2 * inset.height)};
}

CGRect NSCell::titleRect(const CGRect& bounds) const {
    CGSize inset = textInset();
    CGRect rect = bounds.insetBy(inset.width, inset.height);
    return rect.isNull() ? CGRect{bounds.origin, CGSize{}} : rect;
}

void NSCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) { drawInterior(cellFrame, controlView); }

void NSCell::drawInterior(const CGRect& cellFrame, NSView&) {
    drawText(displayedAttributedString(), titleRect(cellFrame));
}

void NSCell::drawText(const NSAttributedString& text, const CGRect& rect) const {
    auto context = NSGraphicsContext::current();
    if (!context || text.string().empty()) return;
    if (wraps()) {
        text.draw(rect);
        return;
    }
    CGSize size = text.size();
    auto& cg = *context->cgContext();
    cg.saveGState();
    cg.clip(rect);
    bool truncates = lineBreakMode_ == NSLineBreakMode::byTruncatingHead || lineBreakMode_ == NSLineBreakMode::byTruncatingTail ||
                     lineBreakMode_ == NSLineBreakMode::byTruncatingMiddle;
    if (truncates && size.width > rect.width()) {
        // Too long: cut where the mode says, with an ellipsis, to the rectangle's width.
        text.draw(CGRect{rect.minX(), context->isFlipped() ? rect.minY() : rect.maxY() - size.height, rect.width(), size.height});
    } else {
        CGFloat x = rect.minX();
        if (alignment_ == NSTextAlignment::center) x = rect.midX() - size.width / 2;
        if (alignment_ == NSTextAlignment::right) x = rect.maxX() - size.width;
        // The text's origin is its upper-left corner in flipped coordinates, its lower-left otherwise.
        text.draw(CGPoint{x, context->isFlipped() ? rect.minY() : rect.maxY() - size.height});
    }
    cg.restoreGState();
}

// Text field cells.

std::shared_ptr<NSColor> NSTextFieldCell::drawingTextColor() const {
    return isEnabled() ? textColor_ : NSColor::tertiaryLabelColor();
}

CGSize NSTextFieldCell::textInset() const { return bezeled_ || bordered_ ? CGSize{4, 3} : CGSize{2, 0}; }

void NSTextFieldCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) {
    if (drawsBackground_ && backgroundColor_) {
        backgroundColor_->setFill();
        NSBezierPath::rect(cellFrame)->fill();
    }
    if (bordered_ || bezeled_) {
        (bordered_ ? NSColor::blackColor() : NSColor::tertiaryLabelColor())->setStroke();
        auto border = NSBezierPath::rect(cellFrame.insetBy(0.5, 0.5));
        border->setLineWidth(1);
        border->stroke();
    }
    drawInterior(cellFrame, controlView);
}

// Search field cells.

NSSearchFieldCell::NSSearchFieldCell(std::string text) : NSTextFieldCell(std::move(text)) {
    setBezeled(true);
    setDrawsBackground(true);
    setEditable(true);
}

namespace {
constexpr CGFloat glassSpace = 22;  // room for the magnifying glass at the left
}

CGRect NSSearchFieldCell::titleRect(const CGRect& bounds) const {
    CGRect rect = NSTextFieldCell::titleRect(bounds);
    CGFloat shift = std::min(rect.width(), glassSpace - textInset().width);
    return {rect.minX() + shift, rect.minY(), rect.width() - shift, rect.height()};
}

void NSSearchFieldCell::drawWithFrame(const CGRect& cellFrame, NSView& controlView) {
    CGRect frame = cellFrame.insetBy(0.5, 0.5);
    if (frame.isNull()) return;
    CGFloat radius = std::min<CGFloat>(6, frame.height() / 2);
    auto bezel = NSBezierPath::roundedRect(frame, radius, radius);
    if (drawsBackground() && backgroundColor()) {
        backgroundColor()->setFill();
        bezel->fill();
    }
    NSColor::tertiaryLabelColor()->setStroke();
    bezel->stroke();
    drawInterior(cellFrame, controlView);
}

void NSSearchFieldCell::drawInterior(const CGRect& cellFrame, NSView&) {
    // A lens and its handle pointing down to the right, centred in the space before the text.
    if (cellFrame.height() >= 10) {
        auto context = NSGraphicsContext::current();
        bool flipped = context && context->isFlipped();
        CGFloat cx = cellFrame.minX() + glassSpace / 2, cy = cellFrame.midY();
        auto at = [&](CGFloat dx, CGFloat down) { return CGPoint{cx + dx, flipped ? cy + down : cy - down}; };
        CGPoint lens = at(-1.5, -1.5);
        auto glass = NSBezierPath::ovalIn({lens.x - 4, lens.y - 4, 8, 8});
        glass->move(at(1.4, 1.4));
        glass->line(at(5, 5));
        glass->setLineWidth(1.5);
        NSColor::secondaryLabelColor()->setStroke();
        glass->stroke();
    }
    drawText(displayedAttributedString(), titleRect(cellFrame));
}

// Secure text field cells.

std::string NSSecureTextFieldCell::displayedString() const {
    if (!echosBullets_) return "";
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(stringValue());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    std::size_t count = 0;
    if (U_SUCCESS(status)) {
        characters->setText(text);
        for (characters->first(); characters->next() != icu::BreakIterator::DONE;) ++count;
    } else {
        count = static_cast<std::size_t>(text.countChar32());
    }
    std::string bullets;
    for (std::size_t i = 0; i < count; ++i) bullets += "\u2022";
    return bullets;
}
