#pragma once
// A text field: text drawn by its cell (NSTextFieldCell unless replaced), in flipped coordinates.
// Labels are text fields without bezel, background or editing. Typing into a field is not
// supported; an editable field only looks the part.
#include <memory>
#include <string>

#include "AppKit/NSControl.hpp"
#include "AppKit/NSTextFieldCell.hpp"

class NSTextField : public NSControl {
public:
    /// An editable field: bezeled, on a background.
    explicit NSTextField(CGRect frame = {});
    static std::shared_ptr<NSTextField> make(CGRect frame = {}) { return std::make_shared<NSTextField>(frame); }
    /// A one-line label in the label colour, sized to fit its text.
    static std::shared_ptr<NSTextField> labelWithString(const std::string& text);
    /// A label whose text wraps at words within its width.
    static std::shared_ptr<NSTextField> wrappingLabelWithString(const std::string& text);

    const std::shared_ptr<NSTextFieldCell>& cell() const { return cell_; }
    /// Replaces the cell; the new one keeps its own settings.
    void setCell(const std::shared_ptr<NSTextFieldCell>& cell);

    std::string stringValue() const override { return cell_->stringValue(); }
    void setStringValue(const std::string& value) override;
    NSAttributedString attributedStringValue() const { return cell_->attributedStringValue(); }
    NSTextAlignment alignment() const override { return cell_->alignment(); }
    void setAlignment(NSTextAlignment alignment) override;
    std::shared_ptr<NSFont> font() const override { return cell_->font(); }
    void setFont(const std::shared_ptr<NSFont>& font) override;
    void setEnabled(bool enabled) override;

    std::shared_ptr<NSColor> textColor() const { return cell_->textColor(); }
    void setTextColor(const std::shared_ptr<NSColor>& color);
    std::shared_ptr<NSColor> backgroundColor() const { return cell_->backgroundColor(); }
    void setBackgroundColor(const std::shared_ptr<NSColor>& color);
    bool drawsBackground() const { return cell_->drawsBackground(); }
    void setDrawsBackground(bool draws);
    bool isBordered() const { return cell_->isBordered(); }
    void setBordered(bool bordered);
    bool isBezeled() const { return cell_->isBezeled(); }
    void setBezeled(bool bezeled);
    bool isEditable() const { return cell_->isEditable(); }
    void setEditable(bool editable) { cell_->setEditable(editable); }
    bool isSelectable() const { return cell_->isSelectable(); }
    void setSelectable(bool selectable) { cell_->setSelectable(selectable); }
    NSLineBreakMode lineBreakMode() const { return cell_->lineBreakMode(); }
    void setLineBreakMode(NSLineBreakMode mode);

    /// Resizes the field to its cell's size, keeping its origin.
    void sizeToFit();

    bool isFlipped() const override { return true; }
    void draw(const CGRect& dirtyRect) override;
    /// A field that cannot be edited passes presses on, so a drag on a label can move the window;
    /// an editable one takes them and sends no action.
    void mouseDown(const NSEvent& event) override;
    void mouseDragged(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    bool mouseDownCanMoveWindow() const override { return !isEditable(); }

private:
    std::shared_ptr<NSTextFieldCell> cell_ = std::make_shared<NSTextFieldCell>();
};
