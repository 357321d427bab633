#pragma once
// A cell draws a control's content (its text, its bezel) and measures it; the control holds one
// and hands it its frame. Cells draw in the control view's coordinates, which for text controls
// are flipped (y grows downwards).
#include <memory>
#include <string>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSParagraphStyle.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGGeometry.hpp"

class NSCell {
public:
    explicit NSCell(std::string text = "");
    virtual ~NSCell() = default;

    const std::string& stringValue() const { return stringValue_; }
    virtual void setStringValue(const std::string& value) { stringValue_ = value; }
    /// The system font at the control size (13 points) unless set.
    std::shared_ptr<NSFont> font() const { return font_; }
    void setFont(const std::shared_ptr<NSFont>& font) { font_ = font; }
    NSTextAlignment alignment() const { return alignment_; }
    void setAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    /// Clipped at the edge unless set otherwise; a wrapping cell breaks its text at words.
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode) { lineBreakMode_ = mode; }
    bool wraps() const { return lineBreakMode_ == NSLineBreakMode::byWordWrapping || lineBreakMode_ == NSLineBreakMode::byCharWrapping; }
    void setWraps(bool wraps);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    /// The text with the cell's font, text colour and alignment.
    virtual NSAttributedString attributedStringValue() const;
    /// The size that shows the whole text on one line per line break, with the cell's insets.
    virtual CGSize cellSize() const;
    /// Where the text goes inside a frame.
    virtual CGRect titleRect(const CGRect& bounds) const;
    /// Draws the cell's frame (background, border) and then its interior.
    virtual void drawWithFrame(const CGRect& cellFrame, NSView& controlView);
    /// Draws the content: the text inside titleRect, from its top.
    virtual void drawInterior(const CGRect& cellFrame, NSView& controlView);

protected:
    /// The colour the text is drawn in.
    virtual std::shared_ptr<NSColor> drawingTextColor() const;
    /// The text as it is shown (a secure cell shows bullets).
    virtual std::string displayedString() const { return stringValue_; }
    /// The text as it is shown, with the cell's attributes.
    NSAttributedString displayedAttributedString() const;
    /// Space between the frame and the text, on each side.
    virtual CGSize textInset() const { return {2, 0}; }
    /// Draws the attributed text into the rectangle, from its top: wrapped to its width, or on one
    /// line placed by its alignment and clipped to the rectangle.
    void drawText(const NSAttributedString& text, const CGRect& rect) const;

private:
    std::string stringValue_;
    std::shared_ptr<NSFont> font_;
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    NSLineBreakMode lineBreakMode_ = NSLineBreakMode::byClipping;
    bool enabled_ = true;
};
