#pragma once
// The cell of a text field: text in a colour, over an optional background, inside an optional
// line border or bezel.
#include "AppKit/NSCell.hpp"

class NSTextFieldCell : public NSCell {
public:
    explicit NSTextFieldCell(std::string text = "") : NSCell(std::move(text)) {}

    /// The label colour unless set.
    std::shared_ptr<NSColor> textColor() const { return textColor_; }
    void setTextColor(const std::shared_ptr<NSColor>& color) { textColor_ = color; }
    /// The control background colour unless set; drawn only when drawsBackground.
    std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const std::shared_ptr<NSColor>& color) { backgroundColor_ = color; }
    bool drawsBackground() const { return drawsBackground_; }
    void setDrawsBackground(bool draws) { drawsBackground_ = draws; }
    /// A plain line around the frame.
    bool isBordered() const { return bordered_; }
    void setBordered(bool bordered) { bordered_ = bordered; }
    /// A sunken frame, as an editable field has.
    bool isBezeled() const { return bezeled_; }
    void setBezeled(bool bezeled) { bezeled_ = bezeled; }
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    bool isSelectable() const { return selectable_ || editable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }

    void drawWithFrame(const CGRect& cellFrame, NSView& controlView) override;

protected:
    std::shared_ptr<NSColor> drawingTextColor() const override;
    CGSize textInset() const override;

private:
    std::shared_ptr<NSColor> textColor_ = NSColor::labelColor();
    std::shared_ptr<NSColor> backgroundColor_ = NSColor::controlBackgroundColor();
    bool drawsBackground_ = false;
    bool bordered_ = false;
    bool bezeled_ = false;
    bool editable_ = false;
    bool selectable_ = false;
};
