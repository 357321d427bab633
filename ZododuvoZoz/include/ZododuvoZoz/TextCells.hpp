#pragma once
// Text cells that draw less than their platform kin, or differently: a search field without its
// bezel, one-line fields with only a line along the bottom, and a cell whose text is vertically
// centred.
#include "AppKit/NSSearchFieldCell.hpp"
#include "AppKit/NSSecureTextFieldCell.hpp"
#include "AppKit/NSTextFieldCell.hpp"

namespace ZododuvoZoz {

/// A search field cell that draws only its interior (glass and text), over the whole frame.
class SearchTextFieldCell : public NSSearchFieldCell {
public:
    explicit SearchTextFieldCell(std::string text = "") : NSSearchFieldCell(std::move(text)) {}
    CGSize cellSize() const override { return NSSearchFieldCell::cellSize(); }
    void drawWithFrame(const CGRect& cellFrame, NSView& controlView) override;
};

/// A text field cell drawn as a line along the bottom of the flipped cell with the text above it.
class SingleLineTextFieldCell : public NSTextFieldCell {
public:
    explicit SingleLineTextFieldCell(std::string text = "") : NSTextFieldCell(std::move(text)) {}
    /// 1 point: the line's width, added to the base height.
    static constexpr CGFloat borderThickness = 1.0;
    CGSize cellSize() const override;
    void drawWithFrame(const CGRect& cellFrame, NSView& controlView) override;
};

/// The password kin of SingleLineTextFieldCell, drawn the same way.
class SingleLineSecureTextFieldCell : public NSSecureTextFieldCell {
public:
    explicit SingleLineSecureTextFieldCell(std::string text = "") : NSSecureTextFieldCell(std::move(text)) {}
    static constexpr CGFloat borderThickness = 1.0;
    CGSize cellSize() const override;
    void drawWithFrame(const CGRect& cellFrame, NSView& controlView) override;
};

/// A text field cell whose text is centred vertically in its bounds (and overflows equally above
/// and below when it is taller).
class CenteredTextCell : public NSTextFieldCell {
public:
    explicit CenteredTextCell(std::string text = "") : NSTextFieldCell(std::move(text)) {}
    CGRect titleRect(const CGRect& bounds) const override;
    void drawInterior(const CGRect& cellFrame, NSView& controlView) override;
};

}  // namespace ZododuvoZoz
