#pragma once
// The cell of a search field: a rounded field with a magnifying glass before the text.
#include "AppKit/NSTextFieldCell.hpp"

class NSSearchFieldCell : public NSTextFieldCell {
public:
    explicit NSSearchFieldCell(std::string text = "");

    CGRect titleRect(const CGRect& bounds) const override;
    /// The rounded bezel, then the interior.
    void drawWithFrame(const CGRect& cellFrame, NSView& controlView) override;
    /// The magnifying glass at the left and the text after it.
    void drawInterior(const CGRect& cellFrame, NSView& controlView) override;

protected:
    CGSize textInset() const override { return {4, 3}; }
};
